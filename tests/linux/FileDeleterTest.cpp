#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/linux/DriveMap.h"
#include "platform/linux/LinuxFileDeleter.h"
#include "tests/linux/PosixTestSupport.h"

using kelvaro::linuxp::DriveMap;
using kelvaro::linuxp::LinuxFileDeleter;
using namespace kelvaro::posixtest;
namespace fs = std::filesystem;

namespace {

class FileDeleterTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(tmp / "dosdevices");
        fs::create_directories(tmp / "c");
        ASSERT_EQ(symlink((tmp / "c").c_str(), (tmp / "dosdevices/c:").c_str()), 0);
    }

    ScratchDir tmp;
    DriveMap map{tmp / "dosdevices"};
    LinuxFileDeleter deleter{map};
};

}  // namespace

TEST_F(FileDeleterTest, DeletesTheOneFileNamed) {
    writeFile(tmp / "c/KELVARO.LOG", "log");
    writeFile(tmp / "c/KELVARO.LOG.bak", "keep");
    EXPECT_EQ(deleter.remove("C:\\KELVARO.LOG"), std::nullopt);
    EXPECT_FALSE(exists(tmp / "c/KELVARO.LOG"));
    EXPECT_TRUE(exists(tmp / "c/KELVARO.LOG.bak"));
}

TEST_F(FileDeleterTest, DeletesInASubfolderWithBlanks) {
    fs::create_directories(tmp / "c/My Logs");
    writeFile(tmp / "c/My Logs/night.log", "log");
    EXPECT_EQ(deleter.remove("c:\\My Logs\\night.log"), std::nullopt);
    EXPECT_FALSE(exists(tmp / "c/My Logs/night.log"));
    EXPECT_TRUE(exists(tmp / "c/My Logs"));
}

TEST_F(FileDeleterTest, AStarIsPartOfTheNameNotAPattern) {
    writeFile(tmp / "c/a*.log", "literal");
    writeFile(tmp / "c/ab.log", "other");
    EXPECT_EQ(deleter.remove("C:\\a*.log"), std::nullopt);
    EXPECT_FALSE(exists(tmp / "c/a*.log"));
    EXPECT_TRUE(exists(tmp / "c/ab.log"));
}

TEST_F(FileDeleterTest, APatternWithoutALiteralFileDeletesNothing) {
    writeFile(tmp / "c/ab.log", "other");
    writeFile(tmp / "c/ac.log", "other");
    const auto err = deleter.remove("C:\\a?.log");
    ASSERT_TRUE(err);
    EXPECT_EQ(err->number, 53);
    EXPECT_EQ(err->description, "File not found");
    EXPECT_TRUE(exists(tmp / "c/ab.log"));
    EXPECT_TRUE(exists(tmp / "c/ac.log"));
}

TEST_F(FileDeleterTest, MissingFileIsFileNotFound) {
    const auto err = deleter.remove("C:\\nothing.log");
    ASSERT_TRUE(err);
    EXPECT_EQ(err->number, 53);
    EXPECT_EQ(err->description, "File not found");
}

TEST_F(FileDeleterTest, MissingDriveIsFileNotFound) {
    const auto err = deleter.remove("Q:\\KELVARO.LOG");
    ASSERT_TRUE(err);
    EXPECT_EQ(err->number, 53);
    EXPECT_EQ(err->description, "File not found");
}

TEST_F(FileDeleterTest, RefusesADirectory) {
    fs::create_directories(tmp / "c/logs");
    const auto err = deleter.remove("C:\\logs");
    ASSERT_TRUE(err);
    EXPECT_EQ(err->number, EISDIR);
    EXPECT_EQ(err->description, "Is a directory");
    EXPECT_TRUE(fs::is_directory(tmp / "c/logs"));
}

TEST_F(FileDeleterTest, ASymbolicLinkIsRemovedNotItsTarget) {
    writeFile(tmp / "c/real.log", "data");
    ASSERT_EQ(symlink((tmp / "c/real.log").c_str(), (tmp / "c/link.log").c_str()), 0);
    EXPECT_EQ(deleter.remove("C:\\link.log"), std::nullopt);
    EXPECT_FALSE(exists(tmp / "c/link.log"));
    EXPECT_EQ(readFile(tmp / "c/real.log"), "data");
}

TEST_F(FileDeleterTest, FileInAWriteProtectedFolderIsPermissionDenied) {
    if (geteuid() == 0) GTEST_SKIP() << "root may delete anywhere";
    fs::create_directories(tmp / "c/locked");
    writeFile(tmp / "c/locked/x.log", "x");
    ASSERT_EQ(chmod((tmp / "c/locked").c_str(), 0500), 0);
    const auto err = deleter.remove("C:\\locked\\x.log");
    chmod((tmp / "c/locked").c_str(), 0700);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->number, 70);
    EXPECT_EQ(err->description, "Permission denied");
    EXPECT_TRUE(exists(tmp / "c/locked/x.log"));
}

TEST_F(FileDeleterTest, OtherErrorsGiveErrnoAndItsText) {
    writeFile(tmp / "c/file", "x");
    const auto err = deleter.remove("C:\\file\\below");
    ASSERT_TRUE(err);
    EXPECT_EQ(err->number, ENOTDIR);
    EXPECT_EQ(err->description, "Not a directory");
    EXPECT_TRUE(exists(tmp / "c/file"));
}
