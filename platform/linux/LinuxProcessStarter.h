#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/ProcessStarter.h"
#include "platform/linux/DriveMap.h"

namespace kelvaro::linuxp {

// Starts a Windows-style command line as a detached process, never through a shell.
//
// - "notepad.exe FILE": FILE (the rest of the line, as Notepad reads it; surrounding
//   quotes dropped) is mapped to its Linux path and opened with xdg-open.
// - "winhlp32.exe NAME.hlp": NAME.html is looked up in the help folders, in order,
//   and opened with xdg-open.
//   Either viewer is given a moment (kViewerWatchMs): one that cannot open the
//   file says so by its exit status at once, which is reported as a failed start
//   (the exit status as the number); one still running then has opened it.
// - a program named with a drive or a slash is run from that path; any other name
//   (NTBackup.exe among them) is looked up on PATH exactly as written, then in the
//   program's helper folders, where our own backup program lives: a user's or a
//   test's own program on PATH wins.
//
// The child runs in its own session with stdin from /dev/null, no inherited file
// descriptors above 2, and the parent's environment plus KELVARO_COMMAND_LINE (the
// command line as given) and KELVARO_SHOW_STATE ("7" or "1"). start() returns as soon
// as the program has been executed (a viewer: watched), or with the reason it could not be.
class LinuxProcessStarter : public platform::ProcessStarter {
public:
    LinuxProcessStarter(const DriveMap& drives, std::vector<std::string> helpFolders,
                        std::vector<std::string> helperFolders = {});

    std::optional<platform::SystemError> start(const std::string& commandLine,
                                               platform::ShowState show) override;

    // What start() would execute for a command line: the program's path and its
    // argument vector, or the error that stops it before anything is started.
    struct Plan {
        std::string path;
        std::vector<std::string> argv;
        bool viewer = false;  // watched for an early failure
    };
    static constexpr int kViewerWatchMs = 1000;
    struct Resolved {
        std::optional<Plan> plan;
        int error = 0;  // errno value when there is no plan
    };
    Resolved resolve(const std::string& commandLine) const;

private:
    const DriveMap& drives_;
    std::vector<std::string> helpFolders_;
    std::vector<std::string> helperFolders_;
};

}  // namespace kelvaro::linuxp
