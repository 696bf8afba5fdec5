// NTBackup.exe: the backup program the scheduler starts, answering its command
// line. With a display it shows the "Backup" window while it runs; without one
// (a terminal, a service) it writes its progress as lines. A run that did not
// end well is told to the desktop's notification service as well. Started
// without an operation where there is a display (its "Restore Files" entry),
// it opens the "Restore" window. The windows and the notifications are in
// ntbackup-window.so, loaded only for them.
#include <atomic>
#include <cstdlib>
#include <iostream>

#include "ntbackup/Request.h"
#include "ntbackup/TerminalObserver.h"
#include "ntbackup/posix/Program.h"
#include "ntbackup/posix/WindowSide.h"

using namespace kelvaro::ntbackup;

namespace {

bool hasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* v = std::getenv(name); v && *v) return true;
    return false;
}

std::atomic<bool> cancel{false};

// Without the module the run still goes on, in the terminal's way; it is said once.
const WindowSide* windowSide() {
    std::string error;
    const WindowSide* side = loadWindowSide(error);
    if (!side) std::cerr << "NTBackup.exe: no window and no notification: " << error << "\n";
    return side;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "/?")) {
        std::cout << kUsage;
        return 0;
    }
    if (args.empty() && hasDisplay()) {
        cancelOnSignals(cancel);
        if (const auto* side = windowSide()) return side->restoreWindow(argc, argv, cancel, signalReceived);
        return 2;
    }
    const auto parsed = parseRequest(args);
    if (const auto* bad = std::get_if<BadCommandLine>(&parsed)) std::cerr << "NTBackup.exe: " << bad->message << "\n" << kUsage;
    cancelOnSignals(cancel);

    const bool list = std::holds_alternative<Request>(parsed) && std::get<Request>(parsed).operation == Operation::List;
    if (hasDisplay() && !list)
        if (const auto* side = windowSide()) return side->backupWindow(argc, argv, parsed, cancel, signalReceived);
    if (std::holds_alternative<BadCommandLine>(parsed)) return 2;

    // Counts what the terminal shows, for the notification.
    struct Terminal : TerminalObserver {
        void exception(const std::string& text) override {
            if (exceptions++ == 0) first = text;
            TerminalObserver::exception(text);
        }
        int exceptions = 0;
        std::string first;
    } observer;
    std::string printed;
    const RunResult result = runOnThisMachine(std::get<Request>(parsed), observer, cancel, printed);
    std::cout << printed;
    if (auto n = notificationOnThisMachine(parsed, result, observer.exceptions, observer.first);
        n && sessionBusOnThisMachine()) {
        // The terminal waits for its prompt: nothing is offered that would keep it waiting.
        n->showLog.reset();
        if (const auto* side = windowSide()) side->notify(argc, argv, *n);
    }
    return result.status;
}
