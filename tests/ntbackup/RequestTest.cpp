#include <gtest/gtest.h>

#include "backup/CommandLine.h"
#include "form/SettingsModel.h"
#include "ntbackup/Request.h"
#include "platform/linux/WindowsCommandLine.h"

namespace kelvaro::ntbackup {
namespace {

std::variant<Request, BadCommandLine> parseLine(const std::string& commandLine) {
    auto args = linuxp::splitWindowsCommandLine(commandLine);
    args.erase(args.begin());
    return parseRequest(args);
}

TEST(Request, TheSchedulersComposedLineIsUnderstoodWhole) {
    form::SettingsModel m;
    m.drives[0] = "d: [/mnt/data]";
    m.drives[1] = "c: [/home/alice]";
    m.drives[2] = "d: [/mnt/data]";
    m.appendSwitch = "/A ";
    m.verifySwitch = "/V";  // as read back from the store, blanks trimmed
    m.restrictSwitch = "/R ";
    m.registrySwitch = "/B ";
    m.compressionSwitch = "/HC:on ";
    m.backupType = "/T Differential";
    m.logSwitch = "  /L \"C:\\My Logs\\KELVARO.LOG\" /E ";
    m.tapeNumber = "0";
    m.driveList = backup::composeDriveList(m);
    const auto parsed = parseLine(backup::ComposeCommandLine(m));
    ASSERT_TRUE(std::holds_alternative<Request>(parsed)) << std::get<BadCommandLine>(parsed).message;
    const Request& r = std::get<Request>(parsed);
    EXPECT_EQ(r.operation, Operation::Backup);
    EXPECT_EQ(r.drives, (std::vector<char>{'d', 'c'}));
    EXPECT_TRUE(r.append && r.verify && r.restrict && r.registry && r.compress && r.exceptionsOnly);
    EXPECT_EQ(r.type, BackupType::Differential);
    EXPECT_EQ(r.description, "Kelvaro Tape");
    EXPECT_EQ(r.logFile, "C:\\My Logs\\KELVARO.LOG");
    EXPECT_EQ(r.tape, 0);
}

TEST(Request, SwitchesIgnoreCaseAndOrder) {
    const auto parsed = parseLine("NTBackup.exe backup /Tape:7 /t DAILY   /hc:OFF C: /d x");
    ASSERT_TRUE(std::holds_alternative<Request>(parsed));
    const Request& r = std::get<Request>(parsed);
    EXPECT_EQ(r.tape, 7);
    EXPECT_EQ(r.type, BackupType::Daily);
    EXPECT_EQ(r.drives, std::vector<char>{'c'});
    EXPECT_FALSE(r.compress);
}

TEST(Request, BadPiecesAreNamed) {
    const struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"NTBackup.exe Backup c: /X", "Unknown switch \"/X\"."},
        {"NTBackup.exe Backup c: /T weekly", "Unknown backup type \"weekly\": use normal, copy, incremental, differential or daily."},
        {"NTBackup.exe Backup c: /tape:10", "Bad tape number in \"/tape:10\": the tape is a number from 0 to 9."},
        {"NTBackup.exe Backup c: /tape:", "Bad tape number in \"/tape:\": the tape is a number from 0 to 9."},
        {"NTBackup.exe Backup c: docs", "\"docs\" is neither a drive (c: to z:) nor a switch."},
        {"NTBackup.exe Backup                        /HC:off /T Incremental   /tape:1", "No drives are selected for backup."},
        {"NTBackup.exe Backup c: /L", "The switch \"/L\" needs a log file name after it."},
        {"NTBackup.exe Erase c:", "Unknown operation \"Erase\": use Backup, Restore or List."},
        {"NTBackup.exe Restore /tape:1 c:", "Restore needs a drive and a target folder: NTBackup.exe Restore /tape:N c: \"folder\"."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto parsed = parseLine(c.line);
        ASSERT_TRUE(std::holds_alternative<BadCommandLine>(parsed));
        EXPECT_EQ(std::get<BadCommandLine>(parsed).message, c.message);
    }
}

}  // namespace
}  // namespace kelvaro::ntbackup
