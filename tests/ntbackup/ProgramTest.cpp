// The executable itself, as the scheduler starts it: exit status, messages, files.
#include <sys/wait.h>
#include <unistd.h>

#include "tests/ntbackup/NtbackupFixture.h"

namespace kelvaro::ntbackup::test {
namespace {

class ProgramTest : public NtbackupTest {
protected:
    // Runs NTBackup.exe with this test's folders; as root it runs as "nobody", for
    // whom a file of mode 000 is unreadable, as it is for any user.
    int runProgram(const std::string& args, const std::string& environment = "") {
        fs::permissions(tmp, fs::perms::all, fs::perm_options::replace);
        fs::permissions(c(), fs::perms::all, fs::perm_options::replace);
        fs::create_directories(xdgDataHome());
        fs::permissions(xdgDataHome(), fs::perms::all, fs::perm_options::replace);
        const std::string asUser = geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
        // A copy beside the test's files: "nobody" may not enter the folder the build lies in (/root/...).
        const std::string program = tmp / "NTBackup.exe";
        if (!fs::exists(program)) fs::copy_file(NTBACKUP_EXE, program);
        const std::string command = asUser + "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + environment + "HOME=" + c() + " XDG_DATA_HOME=" + xdgDataHome() + " XDG_CONFIG_HOME=" +
                                    config() + " " + program + " " + args + " >" + tmp.string() + "/out 2>&1";
        const int status = std::system(command.c_str());
        output = readFile(tmp / "out");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // The drive map of the fixture, where the program looks for it.
    std::string config() {
        const std::string folder = tmp / "config";
        fs::create_directories(folder + "/Kelvaro Workstation");
        if (!fs::exists(folder + "/Kelvaro Workstation/dosdevices"))
            fs::create_directory_symlink(tmp / "dosdevices", folder + "/Kelvaro Workstation/dosdevices");
        return folder;
    }
    std::string output;
};

TEST_F(ProgramTest, WithoutItsWindowModuleARunWhereThereIsADisplayStillBacksUpAndSaysWhy) {
    writeFile(c() + "/a", "a");
    EXPECT_EQ(runProgram("Backup c: /T Normal /tape:1", "QT_QPA_PLATFORM=offscreen "), 0) << output;
    EXPECT_EQ(output.rfind("NTBackup.exe: no window and no notification: ", 0), 0u) << output;
    EXPECT_NE(output.find("ntbackup-window.so"), std::string::npos) << output;
    EXPECT_EQ(sets().size(), 1u);
}

TEST_F(ProgramTest, AnUnreadableFileIsAnExceptionAndTheRunEndsWithOne) {
    writeFile(c() + "/readable", "r");
    writeFile(c() + "/secret", "s");
    fs::permissions(c() + "/secret", fs::perms::none, fs::perm_options::replace);
    EXPECT_EQ(runProgram("Backup c: /T Normal /L 'C:\\k.log' /E /tape:1"), 1) << output;
    const std::string log = readFile(c() + "/k.log");
    EXPECT_NE(log.find("Exception: c: ./secret: Cannot open: Permission denied\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("./readable"), std::string::npos);
    EXPECT_NE(output.find("Backup done with 1 exception."), std::string::npos);
    ASSERT_EQ(sets().size(), 1u);
    EXPECT_EQ(sets()[0].result(), "done with 1 exception");
}

TEST_F(ProgramTest, ABadCommandLineEndsWithTwoAndWritesNothing) {
    EXPECT_EQ(runProgram("Backup c: /Q /tape:1"), 2);
    EXPECT_EQ(output.rfind("NTBackup.exe: Unknown switch \"/Q\".\n", 0), 0u) << output;
    EXPECT_FALSE(fs::exists(data()));
}

}  // namespace
}  // namespace kelvaro::ntbackup::test
