#pragma once
#include <atomic>
#include <string>
#include <variant>

#include "ntbackup/Notification.h"
#include "ntbackup/Request.h"

namespace kelvaro::ntbackup {

// The program's windows and its desktop notifications, in a module of their own
// beside the executable, loaded only when one is wanted: a run from a terminal
// or a service never maps Qt and its forty-odd libraries, which cost each run
// some 20 ms before tar could start (8 % of an Incremental over 20 000
// unchanged files).
struct WindowSide {
    // The run with its "Backup" window; returns the exit status. `stopRequested`
    // tells of a signal (the module has no handlers of its own).
    int (*backupWindow)(int argc, char** argv, const std::variant<Request, BadCommandLine>& parsed,
                        std::atomic<bool>& cancel, bool (*stopRequested)());
    // The "Restore" window, until it is closed.
    int (*restoreWindow)(int argc, char** argv, std::atomic<bool>& cancel, bool (*stopRequested)());
    // Tells the desktop's notification service, waiting at most a second.
    void (*notify)(int argc, char** argv, const Notification& notification);
};

inline constexpr const char* kWindowSideFile = "ntbackup-window.so";
inline constexpr const char* kWindowSideEntry = "kelvaroWindowSide";  // extern "C" const WindowSide* ()

// The module from the executable's own folder, loaded once; nullptr, and why in
// `error`, when it cannot be.
const WindowSide* loadWindowSide(std::string& error);

}  // namespace kelvaro::ntbackup
