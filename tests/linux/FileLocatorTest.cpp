// Where a Windows-named file lies here, and whether it is there, through the drive map.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "platform/linux/DriveMap.h"
#include "platform/linux/LinuxFileLocator.h"
#include "tests/linux/PosixTestSupport.h"

using kelvaro::linuxp::DriveMap;
using kelvaro::linuxp::LinuxFileLocator;
using namespace kelvaro::posixtest;
namespace fs = std::filesystem;

TEST(FileLocator, NamesTheLocalFileAndTellsWhetherItIsThere) {
    ScratchDir tmp;
    fs::create_directories(tmp / "dosdevices");
    fs::create_directories(tmp / "c/My Logs");
    ASSERT_EQ(symlink((tmp / "c").c_str(), (tmp / "dosdevices/c:").c_str()), 0);
    DriveMap map{tmp / "dosdevices"};
    LinuxFileLocator locator{map};

    EXPECT_EQ(locator.localPath("C:\\My Logs\\night.log"), tmp / "c/My Logs/night.log");
    EXPECT_FALSE(locator.exists("C:\\My Logs\\night.log"));
    writeFile(tmp / "c/My Logs/night.log", "log");
    EXPECT_TRUE(locator.exists("C:\\My Logs\\night.log"));

    // No drive holds it: no local name, and not there.
    EXPECT_EQ(locator.localPath("Q:\\night.log"), "");
    EXPECT_FALSE(locator.exists("Q:\\night.log"));
}
