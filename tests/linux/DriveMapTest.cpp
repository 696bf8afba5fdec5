#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/linux/DriveMap.h"
#include "platform/linux/LinuxCurrentDirectory.h"
#include "platform/linux/LinuxDriveProbe.h"
#include "tests/linux/PosixTestSupport.h"

using kelvaro::linuxp::DriveMap;
using kelvaro::linuxp::LinuxCurrentDirectory;
using kelvaro::linuxp::LinuxDriveProbe;
using namespace kelvaro::posixtest;
namespace fs = std::filesystem;

namespace {

std::string backslashed(std::string s) {
    for (char& c : s)
        if (c == '/') c = '\\';
    return s;
}

void link(const std::string& target, const std::string& linkPath) {
    ASSERT_EQ(symlink(target.c_str(), linkPath.c_str()), 0) << linkPath;
}

// c:, d:, f: lead to folders; e: dangles; g: leads to a file; h: loops.
class DriveMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dev);
        for (const char* d : {"cdrive", "ddrive", "fdrive", "cdrive/logs"}) fs::create_directories(tmp / d);
        writeFile(tmp / "plain.txt", "x");
        link(tmp / "cdrive", dev + "/c:");
        link(tmp / "ddrive", dev + "/d:");
        link(tmp / "missing", dev + "/e:");
        link(tmp / "fdrive", dev + "/f:");
        link(tmp / "plain.txt", dev + "/g:");
        link(dev + "/h:", dev + "/h:");
    }

    ScratchDir tmp;
    std::string dev = tmp / "dosdevices";
    DriveMap map{dev};
};

}  // namespace

TEST_F(DriveMapTest, OnlyLettersWhoseLinkLeadsToAFolderExist) {
    std::string present;
    for (char l = 'a'; l <= 'z'; ++l)
        if (map.target(l)) present += l;
    EXPECT_EQ(present, "cdf");
    EXPECT_EQ(map.target('c'), tmp / "cdrive");
    EXPECT_EQ(map.target('D'), tmp / "ddrive");
    EXPECT_EQ(map.target('f'), tmp / "fdrive");
}

TEST_F(DriveMapTest, NonLettersAreNoDrives) {
    EXPECT_FALSE(map.target('1'));
    EXPECT_FALSE(map.target(':'));
    EXPECT_FALSE(map.target('\0'));
}

TEST_F(DriveMapTest, TargetIsTheResolvedFolderForARelativeOrChainedLink) {
    fs::create_directories(tmp / "real");
    link("../cdrive/logs", dev + "/k:");
    link(tmp / "viaLink", dev + "/m:");
    link(tmp / "real", tmp / "viaLink");
    EXPECT_EQ(map.target('k'), tmp / "cdrive/logs");
    EXPECT_EQ(map.target('m'), tmp / "real");
}

TEST_F(DriveMapTest, AFolderInsteadOfALinkIsNoDrive) {
    fs::create_directories(dev + "/n:");
    EXPECT_FALSE(map.target('n'));
}

TEST_F(DriveMapTest, MapFolderThatIsAFileGivesNoDrives) {
    writeFile(tmp / "notafolder", "");
    DriveMap broken(tmp / "notafolder");
    for (char l = 'a'; l <= 'z'; ++l) EXPECT_FALSE(broken.target(l)) << l;
}

TEST_F(DriveMapTest, UnreadableMapFolderGivesNoDrives) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads any folder";
    ASSERT_EQ(chmod(dev.c_str(), 0), 0);
    EXPECT_FALSE(map.target('c'));
    chmod(dev.c_str(), 0700);
}

TEST_F(DriveMapTest, ToPosixAppendsTheRestToTheDriveTarget) {
    EXPECT_EQ(map.toPosix("C:\\logs\\x.log"), tmp / "cdrive/logs/x.log");
    EXPECT_EQ(map.toPosix("d:\\a\\b"), tmp / "ddrive/a/b");
    EXPECT_EQ(map.toPosix("F:/mixed\\seps/x"), tmp / "fdrive/mixed/seps/x");
}

TEST_F(DriveMapTest, ToPosixOfTheBareDriveIsItsTarget) {
    EXPECT_EQ(map.toPosix("C:"), tmp / "cdrive");
    EXPECT_EQ(map.toPosix("c:\\"), tmp / "cdrive");
}

TEST_F(DriveMapTest, ToPosixKeepsDotDotInsideTheDrive) {
    EXPECT_EQ(map.toPosix("C:\\logs\\..\\x\\.\\y"), tmp / "cdrive/x/y");
    EXPECT_EQ(map.toPosix("C:\\..\\..\\etc\\passwd"), tmp / "cdrive/etc/passwd");
    EXPECT_EQ(map.toPosix("C:\\a\\\\b\\"), tmp / "cdrive/a/b");
}

TEST_F(DriveMapTest, ToPosixKeepsTheCaseOfNames) {
    EXPECT_EQ(map.toPosix("c:\\KELVARO.LOG"), tmp / "cdrive/KELVARO.LOG");
}

TEST_F(DriveMapTest, ToPosixOfAMissingOrBrokenDriveIsNone) {
    EXPECT_FALSE(map.toPosix("E:\\x"));
    EXPECT_FALSE(map.toPosix("G:\\x"));
    EXPECT_FALSE(map.toPosix("Q:\\x"));
}

TEST_F(DriveMapTest, ToPosixOfUncIsNone) {
    EXPECT_FALSE(map.toPosix("\\\\server\\share\\x.log"));
}

TEST_F(DriveMapTest, ToPosixOfARelativePathStartsInTheCurrentDirectory) {
    CwdOverride cwd(tmp / "cdrive/logs");
    EXPECT_EQ(map.toPosix("night.log"), tmp / "cdrive/logs/night.log");
    EXPECT_EQ(map.toPosix("sub\\night.log"), tmp / "cdrive/logs/sub/night.log");
    EXPECT_EQ(map.toPosix("..\\up.log"), tmp / "cdrive/up.log");
}

TEST_F(DriveMapTest, ToPosixOfARootedPathWithoutDriveUsesTheCurrentDrive) {
    CwdOverride cwd(tmp / "ddrive");
    EXPECT_EQ(map.toPosix("\\a\\b.log"), tmp / "ddrive/a/b.log");
}

TEST_F(DriveMapTest, ToWindowsUsesTheDriveWithTheLongestTarget) {
    link("/", dev + "/z:");
    EXPECT_EQ(map.toWindows(tmp / "cdrive/logs/x.log"), "C:\\logs\\x.log");
    EXPECT_EQ(map.toWindows(tmp / "ddrive/a"), "D:\\a");
    EXPECT_EQ(map.toWindows("/etc/x"), "Z:\\etc\\x");
    EXPECT_EQ(map.toWindows(tmp / "plain.txt"), "Z:" + backslashed(tmp / "plain.txt"));
}

TEST_F(DriveMapTest, ToWindowsPrefersTheNestedDrive) {
    link(tmp / "cdrive/logs", dev + "/l:");
    EXPECT_EQ(map.toWindows(tmp / "cdrive/logs/x.log"), "L:\\x.log");
    EXPECT_EQ(map.toWindows(tmp / "cdrive/other.log"), "C:\\other.log");
}

TEST_F(DriveMapTest, ToWindowsMatchesOnlyWholeFolderNames) {
    fs::create_directories(tmp / "cdriveX");
    EXPECT_FALSE(map.toWindows(tmp / "cdriveX/a"));
    link("/", dev + "/z:");
    EXPECT_EQ(map.toWindows(tmp / "cdriveX/a").value_or("").substr(0, 3), "Z:\\");
}

TEST_F(DriveMapTest, ToWindowsOfTheDriveFolderIsTheDriveRoot) {
    EXPECT_EQ(map.toWindows(tmp / "cdrive"), "C:\\");
    EXPECT_EQ(map.toWindows(tmp / "cdrive/"), "C:\\");
    link("/", dev + "/z:");
    EXPECT_EQ(map.toWindows("/"), "Z:\\");
}

TEST_F(DriveMapTest, ToWindowsWithoutACoveringDriveIsNone) {
    EXPECT_FALSE(map.toWindows("/etc/x"));
}

TEST_F(DriveMapTest, ToWindowsFindsTheDriveThroughASymbolicLinkInThePath) {
    link(tmp / "cdrive", tmp / "alias");
    EXPECT_EQ(map.toWindows(tmp / "alias/logs/x.log"), "C:\\logs\\x.log");
}

TEST_F(DriveMapTest, ToWindowsOfARelativePathStartsInTheCurrentDirectory) {
    CwdOverride cwd(tmp / "ddrive");
    EXPECT_EQ(map.toWindows("a/b.log"), "D:\\a\\b.log");
}

TEST_F(DriveMapTest, PathsMapBothWays) {
    for (const std::string w : {"C:\\logs\\x.log", "D:\\a b\\c", "F:\\"}) {
        const auto p = map.toPosix(w);
        ASSERT_TRUE(p) << w;
        EXPECT_EQ(map.toWindows(*p), w);
    }
}

TEST(DriveMapDefaults, FirstStartCreatesCAtHomeAndZAtRoot) {
    ScratchDir tmp;
    fs::create_directories(tmp / "home");
    EnvOverride home("HOME", tmp / "home");
    EnvOverride xdg("XDG_CONFIG_HOME", tmp / "config");
    const std::string expectedRoot = tmp / "config/Kelvaro Workstation/dosdevices";
    EXPECT_EQ(DriveMap::defaultRoot(), expectedRoot);

    DriveMap map;
    EXPECT_EQ(map.root(), expectedRoot);
    ASSERT_TRUE(map.ensureDefaults());
    EXPECT_EQ(fs::read_symlink(expectedRoot + "/c:").string(), tmp / "home");
    EXPECT_EQ(fs::read_symlink(expectedRoot + "/z:").string(), "/");
    std::string present;
    for (char l = 'a'; l <= 'z'; ++l)
        if (map.target(l)) present += l;
    EXPECT_EQ(present, "cz");
    EXPECT_EQ(map.target('c'), tmp / "home");
    EXPECT_EQ(map.target('z'), "/");
    // Nothing else is left beside the map.
    std::vector<std::string> entries;
    for (const auto& e : fs::directory_iterator(tmp / "config/Kelvaro Workstation"))
        entries.push_back(e.path().filename().string());
    EXPECT_EQ(entries, std::vector<std::string>{"dosdevices"});
}

TEST(DriveMapDefaults, ConfigDefaultsToDotConfigInHome) {
    ScratchDir tmp;
    EnvOverride home("HOME", tmp.path());
    EnvOverride xdg("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(DriveMap::defaultRoot(), tmp / ".config/Kelvaro Workstation/dosdevices");
}

TEST(DriveMapDefaults, AnExistingMapIsLeftAsTheUserKeepsIt) {
    ScratchDir tmp;
    const std::string dev = tmp / "dosdevices";
    fs::create_directories(dev);
    fs::create_directories(tmp / "data");
    ASSERT_EQ(symlink((tmp / "data").c_str(), (dev + "/d:").c_str()), 0);
    DriveMap map(dev);
    EXPECT_TRUE(map.ensureDefaults(tmp.path()));
    EXPECT_FALSE(exists(dev + "/c:"));
    EXPECT_FALSE(exists(dev + "/z:"));
    EXPECT_EQ(map.target('d'), tmp / "data");
}

TEST(DriveMapDefaults, AFileWhereTheMapShouldBeIsReportedNotReplaced) {
    ScratchDir tmp;
    writeFile(tmp / "dosdevices", "not a folder");
    DriveMap map(tmp / "dosdevices");
    EXPECT_FALSE(map.ensureDefaults(tmp.path()));
    EXPECT_EQ(readFile(tmp / "dosdevices"), "not a folder");
}

TEST_F(DriveMapTest, ProbeShowsExistingLettersWithTheirFolder) {
    LinuxDriveProbe probe(map);
    const auto c = probe.probe('c');
    EXPECT_EQ(c.error, 0);
    EXPECT_EQ(c.displayText, "c: [" + (tmp / "cdrive") + "]");
    const auto f = probe.probe('F');
    EXPECT_EQ(f.error, 0);
    EXPECT_EQ(f.displayText, "f: [" + (tmp / "fdrive") + "]");
}

TEST_F(DriveMapTest, ProbeAnswersNoDeviceForMissingAndOddLinks) {
    LinuxDriveProbe probe(map);
    for (char l : {'e', 'g', 'h', 'q', 'z'}) {
        const auto info = probe.probe(l);
        EXPECT_EQ(info.error, kelvaro::platform::kErrNoDevice) << l;
        EXPECT_EQ(info.displayText, "") << l;
    }
}

TEST_F(DriveMapTest, ProbeScanFromCToZListsOnlyExistingDrivesInOrder) {
    LinuxDriveProbe probe(map);
    std::vector<std::string> shown;
    for (char l = 'c'; l <= 'z'; ++l) {
        const auto info = probe.probe(l);
        if (info.error == 0) shown.push_back(info.displayText);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"c: [" + (tmp / "cdrive") + "]", "d: [" + (tmp / "ddrive") + "]",
                                               "f: [" + (tmp / "fdrive") + "]"}));
}

TEST_F(DriveMapTest, CurrentDirectoryInWindowsForm) {
    LinuxCurrentDirectory current(map);
    {
        CwdOverride cwd(tmp / "cdrive/logs");
        EXPECT_EQ(current.get(), "C:\\logs");
    }
    {
        CwdOverride cwd(tmp / "ddrive");
        EXPECT_EQ(current.get(), "D:\\");
    }
}

TEST_F(DriveMapTest, CurrentDirectoryOutsideAllDrivesIsEmpty) {
    LinuxCurrentDirectory current(map);
    CwdOverride cwd(tmp.path());
    EXPECT_EQ(current.get(), "");
}
