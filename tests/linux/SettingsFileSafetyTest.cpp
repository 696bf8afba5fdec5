// The settings file under trouble: files that cannot be read, symbolic links,
// temporary files left by an interrupted save.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "platform/fake/FakePlatform.h"
#include "platform/linux/IniSettingsStore.h"
#include "tests/linux/TempFolder.h"

using kelvaro::linuxp::IniSettingsStore;
using kelvaro::testsupport::ConfigHome;
using kelvaro::testsupport::modeOf;
using kelvaro::testsupport::readFile;
using kelvaro::testsupport::writeFile;
namespace fs = std::filesystem;

namespace {

const std::string kApp = "Kelvaro Workstation";

struct SettingsFileSafetyTest : ::testing::Test, ConfigHome {
    SettingsFileSafetyTest() { fs::create_directories(folder()); }

    static std::set<std::string> entries(const std::string& dir) {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename());
        return names;
    }
    // Kind, size and link text of a path, to see that nothing touched it.
    static std::string fingerprint(const std::string& path) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) return "missing";
        std::string link;
        if (S_ISLNK(st.st_mode)) link = fs::read_symlink(path).string();
        return std::to_string(st.st_mode) + "/" + std::to_string(st.st_size) + "/" + link;
    }
};

std::string unreadable(const std::string& path, const std::string& reason) {
    return "The settings file " + path + " cannot be read: " + reason +
           ". Nothing was changed. Fix the file and start Kelvaro Workstation again.";
}

}  // namespace

TEST_F(SettingsFileSafetyTest, AnExistingFileThatCannotBeReadIsReportedAndNeverWrittenOver) {
    struct Case {
        const char* what;
        std::function<void(const std::string&)> make;
        std::string reason;
    };
    std::vector<Case> cases = {
        {"a folder", [](const std::string& f) { fs::create_directories(f + "/inside"); }, std::strerror(EISDIR)},
        {"a FIFO", [](const std::string& f) { ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0); },
         "It is not a regular file"},
        {"over 16 MB", [](const std::string& f) {
             writeFile(f, "[SYSTEM]\nSOUND=No\n");
             fs::resize_file(f, (16u << 20) + 1);
         }, "It is larger than 16 MB"},
        {"a link to itself", [](const std::string& f) { ASSERT_EQ(::symlink(f.c_str(), f.c_str()), 0); },
         std::strerror(ELOOP)},
    };
    if (::geteuid() != 0)  // root reads any file whatever its mode
        cases.push_back({"mode 000", [](const std::string& f) {
                             writeFile(f, "[SYSTEM]\nSOUND=No\n");
                             ::chmod(f.c_str(), 0);
                         }, std::strerror(EACCES)});
    for (const auto& c : cases) {
        fs::remove_all(folder());
        fs::create_directories(folder());
        c.make(file());
        const std::string before = fingerprint(file());
        IniSettingsStore store;
        EXPECT_EQ(store.unreadableMessage(), unreadable(file(), c.reason)) << c.what;
        store.save(kApp, "SYSTEM", "SOUND", "Yes");
        EXPECT_FALSE(store.commit()) << c.what;  // skipped, not failed
        EXPECT_EQ(fingerprint(file()), before) << c.what;
        EXPECT_EQ(entries(folder()), std::set<std::string>{"settings.ini"}) << c.what;
    }
}

TEST_F(SettingsFileSafetyTest, ASymbolicLinkStaysALinkAndItsTargetIsReplaced) {
    fs::create_directories(tmp / "dotfiles");
    const std::string target = tmp / "dotfiles/kelvaro.ini";
    writeFile(target, "[SYSTEM]\nSOUND=No\n");
    ::chmod(target.c_str(), 0640);
    ASSERT_EQ(::symlink("../../dotfiles/kelvaro.ini", file().c_str()), 0);

    IniSettingsStore store;
    EXPECT_EQ(store.get(kApp, "SYSTEM", "SOUND", "Yes"), "No");
    store.save(kApp, "SYSTEM", "SOUND", "Yes");
    store.commit();
    EXPECT_EQ(fs::read_symlink(file()), "../../dotfiles/kelvaro.ini");
    EXPECT_EQ(readFile(target), "[SYSTEM]\nSOUND=Yes\n");
    EXPECT_EQ(modeOf(target), 0600u);  // owner-only, as any settings file
    EXPECT_EQ(entries(tmp / "dotfiles"), std::set<std::string>{"kelvaro.ini"});
    EXPECT_EQ(entries(folder()), std::set<std::string>{"settings.ini"});

    // A target the user made stricter stays so.
    ::chmod(target.c_str(), 0400);
    store.save(kApp, "SYSTEM", "SOUND", "No");
    store.commit();
    EXPECT_EQ(modeOf(target), 0400u);
    EXPECT_EQ(readFile(target), "[SYSTEM]\nSOUND=No\n");

    // A link whose target does not exist yet: the target is made, the link kept.
    fs::remove(file());
    ASSERT_EQ(::symlink((tmp / "dotfiles/new.ini").c_str(), file().c_str()), 0);
    IniSettingsStore fresh;
    fresh.save(kApp, "SYSTEM", "SOUND", "Yes");
    EXPECT_FALSE(fresh.commit());
    EXPECT_TRUE(fs::is_symlink(file()));
    EXPECT_EQ(readFile(tmp / "dotfiles/new.ini"), "[SYSTEM]\nSOUND=Yes\n");
    EXPECT_EQ(modeOf(tmp / "dotfiles/new.ini"), 0600u);
}

TEST_F(SettingsFileSafetyTest, TemporariesOfAnInterruptedSaveGoAtTheNextStart) {
    writeFile(file(), "[SYSTEM]\nSOUND=No\n");
    writeFile(folder() + "/.settings.ini.Ab12Cd", "[SYSTEM]\nSOUND=");  // cut short
    writeFile(folder() + "/.settings.ini.zz99ZZ", "");
    // Not ours: other names, and a folder that happens to match.
    writeFile(folder() + "/.settings.ini.abc", "");
    writeFile(folder() + "/notes.txt", "keep");
    fs::create_directories(folder() + "/.settings.ini.dir123");

    IniSettingsStore store;
    EXPECT_EQ(entries(folder()), (std::set<std::string>{"settings.ini", ".settings.ini.abc", "notes.txt",
                                                        ".settings.ini.dir123"}));
    EXPECT_EQ(store.get(kApp, "SYSTEM", "SOUND", "Yes"), "No");

    // Beside a link's target, where its saves are made.
    fs::create_directories(tmp / "dotfiles");
    writeFile(tmp / "dotfiles/kelvaro.ini", "");
    writeFile(tmp / "dotfiles/.kelvaro.ini.q1w2e3", "");
    fs::remove(file());
    ASSERT_EQ(::symlink((tmp / "dotfiles/kelvaro.ini").c_str(), file().c_str()), 0);
    IniSettingsStore linked;
    EXPECT_EQ(entries(tmp / "dotfiles"), std::set<std::string>{"kelvaro.ini"});
}
