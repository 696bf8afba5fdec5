// The settings store through real files in a temporary XDG_CONFIG_HOME.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake/FakePlatform.h"
#include "platform/linux/IniSettingsStore.h"
#include "tests/linux/TempFolder.h"

using kelvaro::linuxp::IniSettingsStore;
using kelvaro::testsupport::ConfigHome;
using kelvaro::testsupport::modeOf;
using kelvaro::testsupport::readFile;
using kelvaro::testsupport::ScopedEnv;
using kelvaro::testsupport::writeFile;
namespace pf = kelvaro::platform;

namespace {

const std::string kApp = "Kelvaro Workstation";

class IniSettingsStoreTest : public ::testing::Test, protected ConfigHome {
protected:
    void putFile(const std::string& bytes) const {
        std::filesystem::create_directories(folder());
        writeFile(file(), bytes);
    }
    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder())) names.push_back(e.path().filename());
        return names;
    }
    // The texts that the store must keep exactly.
    static std::vector<std::string> awkwardTexts() {
        return {"",
                " ",
                "  two leading",
                "two trailing  ",
                "/A ",
                " /HC:off",
                "\"quoted\"",
                "\"",
                "back\\slash\\",
                "C:\\KELVARO.LOG",
                "/L \"C:\\KELVARO.LOG\"",
                "a=b=c",
                "; semicolon first",
                "# hash first",
                "mid;dle#",
                "Grüße – 日本語 ✓",
                "line one\nline two",
                "cr\ronly",
                "crlf\r\n",
                "tab\there",
                "\\n is not a newline",
                "\\\"",
                "ends in backslash \\",
                std::string("nul\0byte", 8),
                "\x01\x1F\x7F",
                "\xFF\xFE not UTF-8",
                "[Not a section]",
                "Key=Value"};
    }
};

// What a failed commit answers: the file and the system's reason.
void expectFailure(const std::optional<pf::CommitError>& error, const std::string& path, int err) {
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->file, path);
    EXPECT_EQ(error->reason, std::strerror(err));
}

}  // namespace

TEST_F(IniSettingsStoreTest, EveryKindOfTextRoundTripsThroughTheFile) {
    const auto texts = awkwardTexts();
    {
        IniSettingsStore store;
        for (std::size_t i = 0; i < texts.size(); ++i) store.save(kApp, "Time/Date", "Value " + std::to_string(i), texts[i]);
        EXPECT_FALSE(store.commit());
    }
    IniSettingsStore fresh;
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(fresh.get(kApp, "Time/Date", "Value " + std::to_string(i), "<default>"), texts[i]) << "text #" << i;
}

TEST_F(IniSettingsStoreTest, OddSectionAndKeyNamesRoundTripThroughTheFile) {
    const std::vector<std::pair<std::string, std::string>> names = {
        {"Backup Type", "Tape Drive:"}, {"Time/Date", "Backup Time"}, {"a]b", "c=d"},
        {"[x", " spaced key "}, {"", ""}, {"sec\nnew", "key\nnew"}};
    {
        IniSettingsStore store;
        for (const auto& [s, k] : names) store.save(kApp, s, k, s + "|" + k);
        store.commit();
    }
    IniSettingsStore fresh;
    for (const auto& [s, k] : names) EXPECT_EQ(fresh.get(kApp, s, k, "<default>"), s + "|" + k);
}

TEST_F(IniSettingsStoreTest, WritesTheExpectedFileText) {
    IniSettingsStore store;
    store.save(kApp, "Backup Drives", "Drive01", "c: [/home/alice]");
    store.save(kApp, "Backup Drives", "Drive02", "");
    store.save(kApp, "Backup Type", "Tape Drive:", "1");
    store.save(kApp, "Backup Type", "Append to Tape", "/A ");
    store.save(kApp, "Backup Type", "Restrict Backup", " ");
    store.save(kApp, "Backup Type", "Log Name", "C:\\KELVARO.LOG");
    store.save(kApp, "Backup Type", "Log File Name", "/L \"C:\\KELVARO.LOG\"");
    store.save(kApp, "Time/Date", "Backup Time", "19:00");
    store.save(kApp, "SYSTEM", "SOUND", "Yes");
    store.commit();
    EXPECT_EQ(readFile(file()),
              "[Backup Drives]\n"
              "Drive01=c: [/home/alice]\n"
              "Drive02=\n"
              "\n"
              "[Backup Type]\n"
              "Tape Drive:=1\n"
              "Append to Tape=\"/A \"\n"
              "Restrict Backup=\" \"\n"
              "Log Name=C:\\KELVARO.LOG\n"
              "Log File Name=\"/L \\\"C:\\\\KELVARO.LOG\\\"\"\n"
              "\n"
              "[Time/Date]\n"
              "Backup Time=19:00\n"
              "\n"
              "[SYSTEM]\n"
              "SOUND=Yes\n");
}

TEST_F(IniSettingsStoreTest, CreatesPrivateFoldersAndFileAndLeavesNoTemporaryFile) {
    IniSettingsStore store;
    EXPECT_EQ(store.filePath(kApp), file());
    store.save(kApp, "Startup", "Window State", "1");
    store.commit();
    EXPECT_EQ(modeOf(tmp / "config"), 0700u);
    EXPECT_EQ(modeOf(folder()), 0700u);
    EXPECT_EQ(modeOf(file()), 0600u);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"settings.ini"});
}

TEST_F(IniSettingsStoreTest, KeepsModeOwnerOnlyWhenReplacingAWiderFile) {
    putFile("[Startup]\nWindow State=0\n");
    ::chmod(file().c_str(), 0644);
    IniSettingsStore store;
    store.save(kApp, "Startup", "Window State", "1");
    store.commit();
    EXPECT_EQ(modeOf(file()), 0600u);
    EXPECT_EQ(readFile(file()), "[Startup]\nWindow State=1\n");
}

TEST_F(IniSettingsStoreTest, MissingFileSectionOrKeyGivesTheDefault) {
    IniSettingsStore empty;
    EXPECT_EQ(empty.get(kApp, "Time/Date", "Backup Time", "19:00"), "19:00");
    EXPECT_EQ(empty.unreadableMessage(), std::nullopt);  // missing is not unreadable
    putFile("[Time/Date]\nBackup Time=07:00\n");
    IniSettingsStore store;
    EXPECT_EQ(store.get(kApp, "Time/Date", "Backup Time", "19:00"), "07:00");
    EXPECT_EQ(store.get(kApp, "Time/Date", "Backup Date", "DAILY"), "DAILY");
    EXPECT_EQ(store.get(kApp, "Startup", "Window State", "0"), "0");
    EXPECT_EQ(store.get(kApp, "time/date", "Backup Time", "x"), "x");  // names match exactly
    EXPECT_EQ(store.get("Other App", "Time/Date", "Backup Time", "19:00"), "19:00");
    EXPECT_FALSE(std::filesystem::exists(tmp / "config/Other App"));
}

TEST_F(IniSettingsStoreTest, ReadsTheFileOnceAndAnswersFromMemory) {
    putFile("[Time/Date]\nBackup Time=07:00\n");
    IniSettingsStore store;
    putFile("[Time/Date]\nBackup Time=23:59\n");
    EXPECT_EQ(store.get(kApp, "Time/Date", "Backup Time", ""), "07:00");
    store.save(kApp, "Time/Date", "Backup Date", "DAILY");
    EXPECT_EQ(store.get(kApp, "Time/Date", "Backup Date", ""), "DAILY");
    // Not on disk before the commit.
    EXPECT_EQ(readFile(file()), "[Time/Date]\nBackup Time=23:59\n");
    store.commit();
    EXPECT_EQ(readFile(file()), "[Time/Date]\nBackup Time=07:00\nBackup Date=DAILY\n");
}

TEST_F(IniSettingsStoreTest, WritesOnlyWhenSomethingWasSaved) {
    IniSettingsStore store;
    store.commit();
    EXPECT_FALSE(std::filesystem::exists(file()));
    store.save(kApp, "SYSTEM", "SOUND", "Yes");
    store.commit();
    struct stat first {};
    ASSERT_EQ(::stat(file().c_str(), &first), 0);
    store.commit();  // nothing new: the file is not replaced
    struct stat second {};
    ASSERT_EQ(::stat(file().c_str(), &second), 0);
    EXPECT_EQ(first.st_ino, second.st_ino);
    store.save(kApp, "SYSTEM", "SOUND", "Yes");
    store.commit();  // saved again but unchanged: the file already holds it
    ASSERT_EQ(::stat(file().c_str(), &second), 0);
    EXPECT_EQ(first.st_ino, second.st_ino);
    // Changed or removed behind the program's back: the next save puts it back.
    for (const char* outside : {"[SYSTEM]\nSOUND=YES\n", ""}) {
        if (*outside) writeFile(file(), outside);
        else std::filesystem::remove(file());
        store.save(kApp, "SYSTEM", "SOUND", "Yes");
        store.commit();
        EXPECT_EQ(readFile(file()), "[SYSTEM]\nSOUND=Yes\n") << outside;
    }
    ::chmod(file().c_str(), 0644);  // widened: the next save makes it private again
    store.save(kApp, "SYSTEM", "SOUND", "Yes");
    store.commit();
    EXPECT_EQ(modeOf(file()), 0600u);
}

TEST_F(IniSettingsStoreTest, EachApplicationHasItsOwnFile) {
    IniSettingsStore store;
    store.save(kApp, "SYSTEM", "SOUND", "No");
    store.save("Other App", "SYSTEM", "SOUND", "Yes");
    store.save("../escape", "S", "K", "V");
    store.commit();
    EXPECT_EQ(readFile(file()), "[SYSTEM]\nSOUND=No\n");
    EXPECT_EQ(readFile(tmp / "config/Other App/settings.ini"), "[SYSTEM]\nSOUND=Yes\n");
    EXPECT_EQ(readFile(tmp / "config/.._escape/settings.ini"), "[S]\nK=V\n");
    EXPECT_FALSE(std::filesystem::exists(tmp / "escape"));
}

TEST_F(IniSettingsStoreTest, ConfigHomeFallsBackToDotConfigInHome) {
    ScopedEnv home("HOME", tmp / "home");
    {
        ScopedEnv unset("XDG_CONFIG_HOME", std::nullopt);
        EXPECT_EQ(IniSettingsStore::defaultConfigHome(), tmp / "home/.config");
    }
    {
        ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");
        EXPECT_EQ(IniSettingsStore::defaultConfigHome(), tmp / "home/.config");
    }
    {
        ScopedEnv empty("XDG_CONFIG_HOME", "");
        IniSettingsStore store;
        EXPECT_EQ(store.filePath(kApp), tmp / "home/.config/Kelvaro Workstation/settings.ini");
    }
    EXPECT_EQ(IniSettingsStore::defaultConfigHome(), tmp / "config");
}

// ---- damaged files: what can be read is read, the rest gives defaults ----

TEST_F(IniSettingsStoreTest, DamagedGarbageLines) {
    putFile("garbage without equals\n\x01\x02\x03\n[Time/Date]\nno equals here\nBackup Time=07:30\n"
            "=\n]]]]\n[[[[\nBackup Date=01/02/96\n[SYSTEM]\nSOUND=No\n");
    IniSettingsStore store;
    EXPECT_EQ(store.get(kApp, "Time/Date", "Backup Time", "19:00"), "07:30");
    // After the unreadable header "[[[[" the keys belong to no known section.
    EXPECT_EQ(store.get(kApp, "Time/Date", "Backup Date", "DAILY"), "DAILY");
    EXPECT_EQ(store.get(kApp, "SYSTEM", "SOUND", "Yes"), "No");
}

TEST_F(IniSettingsStoreTest, DamagedTruncatedFile) {
    putFile("[Time/Date]\nBackup Time=07:30\nBackup Date=12/3");
    IniSettingsStore store;
    EXPECT_EQ(store.get(kApp, "Time/Date", "Backup Time", "19:00"), "07:30");
    EXPECT_EQ(store.get(kApp, "Time/Date", "Backup Date", "DAILY"), "12/3");
    putFile("[Time/Date]\nBackup Time=07:30\nBackup Da");
    IniSettingsStore cutInKey;
    EXPECT_EQ(cutInKey.get(kApp, "Time/Date", "Backup Da", "none"), "none");
    putFile("[Time/Date]\nBackup Time=07:30\n[Backup Ty");
    IniSettingsStore cutInHeader;
    EXPECT_EQ(cutInHeader.get(kApp, "Time/Date", "Backup Time", "19:00"), "07:30");
}

TEST_F(IniSettingsStoreTest, DamagedBinaryBytes) {
    std::string bytes = "\x89PNG\r\n\x1A\n";
    for (int i = 0; i < 2000; ++i) bytes += static_cast<char>((i * 131 + 7) & 0xFF);
    bytes += "\n[SYSTEM]\nSOUND=No\n";
    for (int i = 0; i < 2000; ++i) bytes += static_cast<char>((i * 197 + 3) & 0xFF);
    putFile(bytes);
    IniSettingsStore store;
    EXPECT_EQ(store.get(kApp, "SYSTEM", "SOUND", "Yes"), "No");
    // What was read is written back cleanly.
    store.save(kApp, "Startup", "Window State", "0");
    store.commit();
    IniSettingsStore fresh;
    EXPECT_EQ(fresh.get(kApp, "SYSTEM", "SOUND", "Yes"), "No");
    EXPECT_EQ(fresh.get(kApp, "Startup", "Window State", "1"), "0");
}

TEST_F(IniSettingsStoreTest, DamagedNulBytes) {
    const char bytes[] = "\0\0\0\n[SYSTEM]\nSOUND=N\0o\n[Sec\0tion]\nK\0ey=v\n";
    putFile(std::string(bytes, sizeof bytes - 1));
    IniSettingsStore store;
    EXPECT_EQ(store.get(kApp, "SYSTEM", "SOUND", "Yes"), std::string("N\0o", 3));
    EXPECT_EQ(store.get(kApp, std::string("Sec\0tion", 8), std::string("K\0ey", 4), "x"), "v");
}

TEST_F(IniSettingsStoreTest, DamagedLineOfAMegabyte) {
    const std::string huge(1 << 20, 'a');
    putFile("[Time/Date]\nHuge=" + huge + "\n" + std::string(1 << 20, '[') + "\n[Time/Date]\nBackup Time=08:15\n");
    IniSettingsStore store;
    EXPECT_EQ(store.get(kApp, "Time/Date", "Huge", ""), huge);
    EXPECT_EQ(store.get(kApp, "Time/Date", "Backup Time", "19:00"), "08:15");
}

TEST_F(IniSettingsStoreTest, DamagedMissingClosingQuote) {
    putFile("[Backup Type]\nLog Name=\"C:\\KELVARO.LOG\nTape Drive:=\"7\"\n");
    IniSettingsStore store;
    EXPECT_EQ(store.get(kApp, "Backup Type", "Log Name", ""), "C:\\KELVARO.LOG");
    EXPECT_EQ(store.get(kApp, "Backup Type", "Tape Drive:", "1"), "7");
}

// ---- write failures ----

// Root ignores permission bits, so the failing write comes from the file size
// limit instead: it stops any process, root included, from writing past it
// (EFBIG, the same path as a full disk). SIGXFSZ is ignored meanwhile, as it
// would otherwise end the test program.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim = old_;
        lim.rlim_cur = bytes;
        ok_ = ::setrlimit(RLIMIT_FSIZE, &lim) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool ok() const { return ok_; }

private:
    rlimit old_ {};
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
};

TEST_F(IniSettingsStoreTest, WriteFailureIsReportedAndTheOldFileStaysIntact) {
    const std::string original = "[Time/Date]\nBackup Time=07:00\n";
    putFile(original);
    IniSettingsStore store;
    for (int i = 1; i <= 24; ++i) {
        char key[8];
        std::snprintf(key, sizeof key, "Drive%02d", i);
        store.save(kApp, "Backup Drives", key, "c: [/home/alice]");
    }
    store.save(kApp, "Time/Date", "Backup Time", "21:45");
    {
        FileSizeLimit limit(40);
        ASSERT_TRUE(limit.ok());
        expectFailure(store.commit(), file(), EFBIG);
        store.save(kApp, "Time/Date", "Backup Date", "12/31/96");
        expectFailure(store.commit(), file(), EFBIG);
    }
    EXPECT_EQ(readFile(file()), original);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"settings.ini"});
    // The program goes on with what is in memory.
    EXPECT_EQ(store.get(kApp, "Time/Date", "Backup Time", ""), "21:45");

    EXPECT_FALSE(store.commit());  // the limit is gone: everything saved so far is written
    IniSettingsStore fresh;
    EXPECT_EQ(fresh.get(kApp, "Time/Date", "Backup Time", ""), "21:45");
    EXPECT_EQ(fresh.get(kApp, "Time/Date", "Backup Date", ""), "12/31/96");
    EXPECT_EQ(fresh.get(kApp, "Backup Drives", "Drive24", ""), "c: [/home/alice]");
    EXPECT_EQ(modeOf(file()), 0600u);
}

TEST_F(IniSettingsStoreTest, FolderThatCannotBeCreatedIsReported) {
    // A regular file where the config folder should be: mkdir fails even for root.
    writeFile(tmp / "config", "not a folder");
    IniSettingsStore store;
    store.save(kApp, "SYSTEM", "SOUND", "Yes");
    expectFailure(store.commit(), tmp / "config/Kelvaro Workstation/settings.ini", ENOTDIR);
    EXPECT_EQ(readFile(tmp / "config"), "not a folder");
    EXPECT_EQ(store.get(kApp, "SYSTEM", "SOUND", ""), "Yes");
}

TEST_F(IniSettingsStoreTest, ReadOnlyFolderIsReported) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders; covered by the size-limit test";
    putFile("[SYSTEM]\nSOUND=Yes\n");
    ::chmod(folder().c_str(), 0500);
    IniSettingsStore store;
    store.save(kApp, "SYSTEM", "SOUND", "No");
    const auto error = store.commit();
    ::chmod(folder().c_str(), 0700);
    expectFailure(error, file(), EACCES);
    EXPECT_EQ(readFile(file()), "[SYSTEM]\nSOUND=Yes\n");
}
