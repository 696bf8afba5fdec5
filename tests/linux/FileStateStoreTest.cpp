// The schedule's state file through real files in a temporary XDG_STATE_HOME.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/linux/FileStateStore.h"
#include "tests/linux/TempFolder.h"

using kelvaro::linuxp::FileStateStore;
using kelvaro::testsupport::modeOf;
using kelvaro::testsupport::readFile;
using kelvaro::testsupport::ScopedEnv;
using kelvaro::testsupport::TempFolder;
using kelvaro::testsupport::writeFile;

namespace {

struct FileStateStoreTest : ::testing::Test {
    TempFolder tmp;
    ScopedEnv xdg{"XDG_STATE_HOME", tmp / "state"};
    std::string folder() const { return tmp / "state/Kelvaro Workstation"; }
    std::string file() const { return folder() + "/schedule.state"; }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder())) names.push_back(e.path().filename());
        return names;
    }
};

}  // namespace

TEST_F(FileStateStoreTest, AFirstWriteMakesAPrivateFileInItsOwnFolderAndAReadFindsItExactly) {
    FileStateStore store("Kelvaro Workstation");
    EXPECT_EQ(store.location(), file());
    const auto nothing = store.read();
    EXPECT_FALSE(nothing.text);
    EXPECT_FALSE(nothing.problem);

    EXPECT_FALSE(store.write("LastSeen=2026-12-09 18:50\n"));
    EXPECT_FALSE(store.write("LastSeen=2026-12-09 18:51\nCameUp=\n"));
    EXPECT_EQ(readFile(file()), "LastSeen=2026-12-09 18:51\nCameUp=\n");
    EXPECT_EQ(modeOf(file()), 0600);
    EXPECT_EQ(modeOf(folder()), 0700);
    EXPECT_EQ(entries(), std::vector<std::string>{"schedule.state"});  // no temporaries left
    EXPECT_EQ(FileStateStore("Kelvaro Workstation").read().text, "LastSeen=2026-12-09 18:51\nCameUp=\n");
}

TEST_F(FileStateStoreTest, WithoutXdgStateHomeTheFileLivesUnderTheHomeFolder) {
    ScopedEnv noXdg{"XDG_STATE_HOME", "relative/state"};  // not absolute: ignored
    ScopedEnv home{"HOME", tmp / "home/"};
    EXPECT_EQ(FileStateStore("Kelvaro Workstation").location(),
              tmp / "home/.local/state/Kelvaro Workstation/schedule.state");
}

TEST_F(FileStateStoreTest, WhatCannotBeReadOrWrittenIsAProblemWithTheSystemsReason) {
    // A folder where the file belongs: it can be neither read nor replaced.
    std::filesystem::create_directories(file());
    FileStateStore store("Kelvaro Workstation");
    const auto read = store.read();
    EXPECT_FALSE(read.text);
    ASSERT_TRUE(read.problem);
    EXPECT_EQ(read.problem->file, file());
    EXPECT_EQ(read.problem->reason, "Is a directory");
    const auto written = store.write("x\n");
    ASSERT_TRUE(written);
    EXPECT_EQ(written->file, file());
    EXPECT_EQ(written->reason, "Is a directory");
    EXPECT_EQ(entries(), std::vector<std::string>{"schedule.state"});

    // A file where the application's folder belongs.
    std::filesystem::remove_all(folder());
    writeFile(folder(), "");
    const auto notFolder = FileStateStore("Kelvaro Workstation").write("x\n");
    ASSERT_TRUE(notFolder);
    EXPECT_EQ(notFolder->reason, "Not a directory");
}

TEST_F(FileStateStoreTest, TemporariesOfAWriteCutShortAreRemovedAtTheNextStart) {
    std::filesystem::create_directories(folder());
    writeFile(folder() + "/.schedule.state.Ab12Cd", "LastSeen=");
    writeFile(folder() + "/.schedule.state.keep", "not ours");
    writeFile(file(), "old\n");
    FileStateStore store("Kelvaro Workstation");
    auto names = entries();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".schedule.state.keep", "schedule.state"}));
    EXPECT_EQ(store.read().text, "old\n");
}
