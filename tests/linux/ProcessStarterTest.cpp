#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/linux/DriveMap.h"
#include "platform/linux/LinuxProcessStarter.h"
#include "tests/linux/PosixTestSupport.h"

using kelvaro::linuxp::DriveMap;
using kelvaro::linuxp::LinuxProcessStarter;
using kelvaro::platform::ShowState;
using kelvaro::platform::SystemError;
using namespace kelvaro::posixtest;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// A program that writes down how it was started: its arguments and the two
// variables in `<record>`, its session and stdin in `<record>.proc`, its open
// descriptors in `<record>.fds`; then it sleeps `linger` seconds and leaves
// `<record>.done`.
std::string recorderScript(const std::string& record, int linger = 0) {
    return "#!/bin/bash\n"
           "rec='" + record + "'\n"
           "ls /proc/$$/fd > \"$rec.fds\"\n"
           "{\n"
           "  for a in \"$@\"; do printf 'arg=[%s]\\n' \"$a\"; done\n"
           "  printf 'cmdline=[%s]\\n' \"$KELVARO_COMMAND_LINE\"\n"
           "  printf 'show=[%s]\\n' \"$KELVARO_SHOW_STATE\"\n"
           "  printf 'marker=[%s]\\n' \"$KELVARO_TEST_MARKER\"\n"
           "} > \"$rec.part\"\n"
           "{\n"
           "  printf 'sid=%s\\n' \"$(cut -d' ' -f6 /proc/$$/stat)\"\n"
           "  printf 'stdin=%s\\n' \"$(readlink /proc/$$/fd/0)\"\n"
           "} > \"$rec.proc\"\n"
           "mv \"$rec.part\" \"$rec\"\n"
           "sleep " + std::to_string(linger) + "\n"
           ": > \"$rec.done\"\n";
}

std::string recordOf(const std::vector<std::string>& args, const std::string& commandLine, const std::string& show) {
    std::string out;
    for (const auto& a : args) out += "arg=[" + a + "]\n";
    out += "cmdline=[" + commandLine + "]\n";
    out += "show=[" + show + "]\n";
    out += "marker=[inherited]\n";
    return out;
}

std::string valueOf(const std::string& text, const std::string& key) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    return "<none>";
}

bool hasNoChildren() {
    int status = 0;
    return waitpid(-1, &status, WNOHANG) == -1 && errno == ECHILD;
}

class ProcessStarterTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(bin);
        fs::create_directories(tmp / "c");
        fs::create_directories(tmp / "dosdevices");
        ASSERT_EQ(symlink((tmp / "c").c_str(), (tmp / "dosdevices/c:").c_str()), 0);
        ASSERT_EQ(symlink("/", (tmp / "dosdevices/z:").c_str()), 0);
    }

    void installRecorder(const std::string& dir, const std::string& name, int linger = 0) {
        writeFile(dir + "/" + name, recorderScript(record, linger), 0755);
    }

    // Waits until the program has written its record and finished, and returns the record.
    std::string awaitRecord() {
        EXPECT_TRUE(waitForFile(record, 10s)) << "the program did not run";
        EXPECT_TRUE(waitForFile(record + ".done", 10s)) << "the program did not finish";
        return readFile(record);
    }

    ScratchDir tmp;
    std::string bin = tmp / "bin";
    std::string record = tmp / "record";
    EnvOverride path{"PATH", bin + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin")};
    EnvOverride marker{"KELVARO_TEST_MARKER", "inherited"};
    DriveMap map{tmp / "dosdevices"};
    LinuxProcessStarter starter{map, {tmp / "here", tmp / "data"}};
};

std::string composedBackupCommand() {
    return "NTBackup.exe Backup c: d:" + std::string(22, ' ') + " /A  /V    /D \"Kelvaro Tape\"     /HC:off /T Normal "
           "/L \"C:\\My Logs\\x.log\"  /tape:1";
}

}  // namespace

TEST_F(ProcessStarterTest, StartsNTBackupFromPathWithTheSplitArgumentsAndTheVariables) {
    installRecorder(bin, "NTBackup.exe");
    const std::string cmd = composedBackupCommand();
    EXPECT_EQ(starter.start(cmd, ShowState::MinimizedNoActivate), std::nullopt);
    EXPECT_EQ(awaitRecord(),
              recordOf({"Backup", "c:", "d:", "/A", "/V", "/D", "Kelvaro Tape", "/HC:off", "/T", "Normal", "/L",
                        "C:\\My Logs\\x.log", "/tape:1"},
                       cmd, "7"));
}

TEST_F(ProcessStarterTest, ShowStateNormalIsOne) {
    installRecorder(bin, "NTBackup.exe");
    EXPECT_EQ(starter.start("NTBackup.exe Backup", ShowState::NormalFocus), std::nullopt);
    EXPECT_EQ(awaitRecord(), recordOf({"Backup"}, "NTBackup.exe Backup", "1"));
}

TEST_F(ProcessStarterTest, VariablesOfTheParentAreReplacedNotDoubled) {
    installRecorder(bin, "NTBackup.exe");
    EnvOverride staleLine("KELVARO_COMMAND_LINE", "stale");
    EnvOverride staleShow("KELVARO_SHOW_STATE", "9");
    EXPECT_EQ(starter.start("NTBackup.exe x", ShowState::MinimizedNoActivate), std::nullopt);
    EXPECT_EQ(awaitRecord(), recordOf({"x"}, "NTBackup.exe x", "7"));
}

TEST_F(ProcessStarterTest, ReturnsAtOnceDetachedAndLeavesNoChild) {
    installRecorder(bin, "NTBackup.exe", 1);
    // A descriptor without close-on-exec that the program must not inherit, and a
    // stdin of ours that is not /dev/null, which the program must not get either.
    const int leaked = open("/dev/null", O_RDONLY);
    ASSERT_GE(leaked, 3);
    int ourStdin[2];
    ASSERT_EQ(pipe(ourStdin), 0);
    const int savedStdin = dup(0);
    dup2(ourStdin[0], 0);

    const auto before = std::chrono::steady_clock::now();
    const auto err = starter.start("NTBackup.exe Backup", ShowState::MinimizedNoActivate);
    const auto took = std::chrono::steady_clock::now() - before;
    dup2(savedStdin, 0);
    for (int fd : {savedStdin, ourStdin[0], ourStdin[1], leaked}) close(fd);
    EXPECT_EQ(err, std::nullopt);
    // The program sleeps a second before it finishes; start() does not wait for it.
    EXPECT_LT(took, 500ms);
    EXPECT_FALSE(exists(record + ".done"));
    // Neither the program nor a helper process is our child, running or zombie.
    EXPECT_TRUE(hasNoChildren());

    awaitRecord();
    const std::string proc = readFile(record + ".proc");
    EXPECT_NE(valueOf(proc, "sid"), std::to_string(getsid(0)));
    EXPECT_EQ(valueOf(proc, "stdin"), "/dev/null");
    // Only the standard streams and bash's own script descriptor.
    std::set<std::string> fds;
    std::istringstream list(readFile(record + ".fds"));
    for (std::string fd; list >> fd;) fds.insert(fd);
    EXPECT_EQ(fds, (std::set<std::string>{"0", "1", "2", "255"}));

    ASSERT_TRUE(waitForFile(record + ".done", 10s));
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(hasNoChildren());
}

TEST_F(ProcessStarterTest, ShellCharactersReachTheProgramAsTextAndStartNothingElse) {
    // The program lingers, so that a shell running the other commands would be done.
    installRecorder(bin, "NTBackup.exe", 1);
    const std::string t = tmp.path();
    const std::string cmd = "NTBackup.exe Backup ; touch " + t + "/semi $(touch " + t + "/dollar) `touch " + t +
                            "/tick` | touch " + t + "/pipe && touch " + t + "/amp";
    EXPECT_EQ(starter.start(cmd, ShowState::MinimizedNoActivate), std::nullopt);
    EXPECT_EQ(awaitRecord(), recordOf({"Backup", ";", "touch", t + "/semi", "$(touch", t + "/dollar)", "`touch",
                                       t + "/tick`", "|", "touch", t + "/pipe", "&&", "touch", t + "/amp"},
                                      cmd, "7"));
    ASSERT_TRUE(waitForFile(record + ".done", 10s));
    for (const char* f : {"semi", "dollar", "tick", "pipe", "amp"}) EXPECT_FALSE(exists(t + "/" + f)) << f;
}

TEST_F(ProcessStarterTest, MissingProgramIsFileNotFound) {
    const auto err = starter.start("NTBackup.exe Backup", ShowState::MinimizedNoActivate);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->number, 53);
    EXPECT_EQ(err->description, "File not found");
}

TEST_F(ProcessStarterTest, NameIsLookedUpExactly) {
    installRecorder(bin, "ntbackup.exe");
    const auto err = starter.start("NTBackup.exe Backup", ShowState::MinimizedNoActivate);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->number, 53);
    EXPECT_EQ(err->description, "File not found");
}

TEST_F(ProcessStarterTest, EmptyCommandLineIsFileNotFound) {
    for (const char* cmd : {"", "   ", "\"\" x"}) {
        const auto err = starter.start(cmd, ShowState::MinimizedNoActivate);
        ASSERT_TRUE(err) << cmd;
        EXPECT_EQ(err->number, 53) << cmd;
        EXPECT_EQ(err->description, "File not found") << cmd;
    }
}

TEST_F(ProcessStarterTest, NonExecutableProgramIsPermissionDenied) {
    writeFile(bin + "/NTBackup.exe", recorderScript(record), 0644);
    const auto err = starter.start("NTBackup.exe Backup", ShowState::MinimizedNoActivate);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->number, 70);
    EXPECT_EQ(err->description, "Permission denied");
}

TEST_F(ProcessStarterTest, AnExecutableLaterOnPathWinsOverANonExecutableOne) {
    fs::create_directories(tmp / "bin2");
    writeFile(bin + "/NTBackup.exe", "not a program", 0644);
    installRecorder(tmp / "bin2", "NTBackup.exe");
    EnvOverride twoDirs("PATH", bin + ":" + (tmp / "bin2") + ":/usr/bin:/bin");
    EXPECT_EQ(starter.start("NTBackup.exe a", ShowState::MinimizedNoActivate), std::nullopt);
    EXPECT_EQ(awaitRecord(), recordOf({"a"}, "NTBackup.exe a", "7"));
}

TEST_F(ProcessStarterTest, AFolderNamedLikeTheProgramIsSkipped) {
    fs::create_directories(bin + "/NTBackup.exe");
    const auto err = starter.start("NTBackup.exe Backup", ShowState::MinimizedNoActivate);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->number, 53);
}

TEST_F(ProcessStarterTest, EmptyAndRelativePathEntriesNeverMeanTheCurrentFolder) {
    // A planted NTBackup.exe in the folder the program was started from.
    fs::create_directories(tmp / "start/sub");
    installRecorder(tmp / "start", "NTBackup.exe");
    installRecorder(tmp / "start/sub", "NTBackup.exe");
    CwdOverride cwd(tmp / "start");
    for (const char* entries : {"", ":", "::/usr/bin", "/usr/bin:", ".", "./", "sub", "sub/../."}) {
        EnvOverride path("PATH", entries);
        const auto resolved = starter.resolve("NTBackup.exe Backup");
        EXPECT_FALSE(resolved.plan) << "PATH=" << entries << " ran " << resolved.plan->path;
        EXPECT_EQ(resolved.error, ENOENT) << "PATH=" << entries;
    }
    // An absolute entry after the skipped ones is still searched.
    EnvOverride path("PATH", std::string(":.:sub:") + bin);
    installRecorder(bin, "NTBackup.exe");
    const auto resolved = starter.resolve("NTBackup.exe Backup");
    ASSERT_TRUE(resolved.plan);
    EXPECT_EQ(resolved.plan->path, bin + "/NTBackup.exe");
}

TEST_F(ProcessStarterTest, OtherExecFailuresGiveErrnoAndItsText) {
    writeFile(bin + "/NTBackup.exe", std::string("\x01\x02\x03 no program here\n"), 0755);
    const auto err = starter.start("NTBackup.exe Backup", ShowState::MinimizedNoActivate);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->number, ENOEXEC);
    EXPECT_EQ(err->description, "Exec format error");
}

TEST_F(ProcessStarterTest, QuotedProgramNameIsFoundOnPath) {
    installRecorder(bin, "NTBackup.exe");
    EXPECT_EQ(starter.start("\"NTBackup.exe\" \"a b\"", ShowState::NormalFocus), std::nullopt);
    EXPECT_EQ(awaitRecord(), recordOf({"a b"}, "\"NTBackup.exe\" \"a b\"", "1"));
}

TEST_F(ProcessStarterTest, OtherProgramNamesAreLookedUpOnPath) {
    installRecorder(bin, "mytool");
    EXPECT_EQ(starter.start("mytool one \"two three\"", ShowState::NormalFocus), std::nullopt);
    EXPECT_EQ(awaitRecord(), recordOf({"one", "two three"}, "mytool one \"two three\"", "1"));
}

TEST_F(ProcessStarterTest, ProgramWithADriveRunsFromThatDrive) {
    fs::create_directories(tmp / "c/tools");
    installRecorder(tmp / "c/tools", "run.exe");
    EXPECT_EQ(starter.start("C:\\tools\\run.exe x", ShowState::NormalFocus), std::nullopt);
    EXPECT_EQ(awaitRecord(), recordOf({"x"}, "C:\\tools\\run.exe x", "1"));
}

TEST_F(ProcessStarterTest, NotepadOpensTheMappedFileWithTheDesktopViewer) {
    installRecorder(bin, "xdg-open");
    const std::string cmd = "notepad.exe C:\\My Logs\\night.log";
    EXPECT_EQ(starter.start(cmd, ShowState::NormalFocus), std::nullopt);
    EXPECT_EQ(awaitRecord(), recordOf({tmp / "c/My Logs/night.log"}, cmd, "1"));
}

TEST_F(ProcessStarterTest, NotepadTakesAQuotedNameWithoutItsQuotes) {
    installRecorder(bin, "xdg-open");
    const std::string cmd = "NOTEPAD.EXE \"c:\\a b.log\"";
    EXPECT_EQ(starter.start(cmd, ShowState::NormalFocus), std::nullopt);
    EXPECT_EQ(awaitRecord(), recordOf({tmp / "c/a b.log"}, cmd, "1"));
}

TEST_F(ProcessStarterTest, NotepadWithARelativeNameOpensItInTheCurrentDirectory) {
    installRecorder(bin, "xdg-open");
    fs::create_directories(tmp / "c/work");
    CwdOverride cwd(tmp / "c/work");
    EXPECT_EQ(starter.start("notepad.exe KELVARO.LOG", ShowState::NormalFocus), std::nullopt);
    EXPECT_EQ(awaitRecord(), recordOf({tmp / "c/work/KELVARO.LOG"}, "notepad.exe KELVARO.LOG", "1"));
}

TEST_F(ProcessStarterTest, NotepadOnAMissingDriveIsFileNotFound) {
    installRecorder(bin, "xdg-open");
    const auto err = starter.start("notepad.exe Q:\\x.log", ShowState::NormalFocus);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->number, 53);
    EXPECT_EQ(err->description, "File not found");
}

TEST_F(ProcessStarterTest, NotepadWithoutAViewerIsFileNotFound) {
    EnvOverride noViewer("PATH", bin);
    const auto err = starter.start("notepad.exe C:\\x.log", ShowState::NormalFocus);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->number, 53);
}

TEST_F(ProcessStarterTest, HelpOpensTheBundledPageFromTheInstalledData) {
    installRecorder(bin, "xdg-open");
    fs::create_directories(tmp / "data");
    writeFile(tmp / "data/KelvaroWorkStation.html", "<html></html>");
    const std::string cmd = "winhlp32.exe KelvaroWorkStation.hlp";
    EXPECT_EQ(starter.start(cmd, ShowState::NormalFocus), std::nullopt);
    EXPECT_EQ(awaitRecord(), recordOf({tmp / "data/KelvaroWorkStation.html"}, cmd, "1"));
}

TEST_F(ProcessStarterTest, HelpPrefersThePageInTheFirstFolder) {
    installRecorder(bin, "xdg-open");
    fs::create_directories(tmp / "data");
    fs::create_directories(tmp / "here");
    writeFile(tmp / "data/KelvaroWorkStation.html", "<html></html>");
    writeFile(tmp / "here/KelvaroWorkStation.html", "<html></html>");
    EXPECT_EQ(starter.start("winhlp32.exe KelvaroWorkStation.hlp", ShowState::NormalFocus), std::nullopt);
    EXPECT_EQ(awaitRecord(),
              recordOf({tmp / "here/KelvaroWorkStation.html"}, "winhlp32.exe KelvaroWorkStation.hlp", "1"));
}

TEST_F(ProcessStarterTest, HelpWithoutThePageIsFileNotFound) {
    installRecorder(bin, "xdg-open");
    const auto err = starter.start("winhlp32.exe KelvaroWorkStation.hlp", ShowState::NormalFocus);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->number, 53);
    EXPECT_EQ(err->description, "File not found");
}

TEST_F(ProcessStarterTest, ResolveShowsWhatWouldRun) {
    installRecorder(bin, "NTBackup.exe");
    const auto r = starter.resolve("NTBackup.exe Backup c:" + std::string(23, ' ') + "/tape:1");
    ASSERT_TRUE(r.plan);
    EXPECT_EQ(r.plan->path, bin + "/NTBackup.exe");
    EXPECT_EQ(r.plan->argv, (std::vector<std::string>{"NTBackup.exe", "Backup", "c:", "/tape:1"}));
}

TEST_F(ProcessStarterTest, TheHelperFolderServesWhenPathHasNoProgramAndPathWinsWhenItHas) {
    const std::string helpers = tmp / "libexec";
    fs::create_directories(helpers);
    LinuxProcessStarter withHelpers{map, {}, {tmp / "missing", helpers}};
    installRecorder(helpers, "NTBackup.exe");
    EXPECT_EQ(withHelpers.resolve("NTBackup.exe Backup").plan->path, helpers + "/NTBackup.exe");
    installRecorder(bin, "NTBackup.exe");
    EXPECT_EQ(withHelpers.resolve("NTBackup.exe Backup").plan->path, bin + "/NTBackup.exe");
}

TEST_F(ProcessStarterTest, AViewerThatCannotOpenTheFileIsAFailedStart) {
    // xdg-open's own answer when it finds no way to open the file.
    writeFile(bin + "/xdg-open", "#!/bin/sh\nexit 4\n", 0755);
    const auto err = starter.start("notepad.exe C:\\KELVARO.LOG", ShowState::NormalFocus);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->number, 4);
    EXPECT_EQ(err->description, "The viewer could not open the file (exit status 4).");
    EXPECT_TRUE(hasNoChildren());
}

TEST_F(ProcessStarterTest, AViewerStillOpenAfterItsMomentIsLeftRunning) {
    installRecorder(bin, "xdg-open", 3);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(starter.start("notepad.exe C:\\KELVARO.LOG", ShowState::NormalFocus), std::nullopt);
    const auto took = std::chrono::steady_clock::now() - before;
    EXPECT_GE(took, std::chrono::milliseconds(LinuxProcessStarter::kViewerWatchMs));
    EXPECT_LT(took, std::chrono::milliseconds(LinuxProcessStarter::kViewerWatchMs) + 1s);
    EXPECT_FALSE(exists(record + ".done"));
    EXPECT_TRUE(hasNoChildren());
}
