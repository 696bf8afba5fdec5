// NTBackup.exe: the backup program the scheduler starts, answering its command
// line. With a display it shows the "Backup" window while it runs; without one
// (a terminal, a service) it writes its progress as lines.
#include <QApplication>
#include <atomic>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "ntbackup/ProgressModel.h"
#include "ntbackup/Request.h"
#include "ntbackup/TerminalObserver.h"
#include "ntbackup/posix/Program.h"
#include "ntbackup/qt/WindowRun.h"

using namespace kelvaro::ntbackup;

namespace {

bool hasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* v = std::getenv(name); v && *v) return true;
    return false;
}

std::atomic<bool> cancel{false};

int runWithWindow(int argc, char** argv, const std::variant<Request, BadCommandLine>& parsed) {
    QApplication app(argc, argv);
    ProgressModel model;
    std::thread worker;
    if (const auto* bad = std::get_if<BadCommandLine>(&parsed)) {
        model.finished({2, bad->message});
    } else {
        worker = std::thread([&model, request = std::get<Request>(parsed)] {
            std::string printed;
            runOnThisMachine(request, model, cancel, printed);
        });
    }
    WindowRunHooks hooks;
    // 7: minimised without taking the focus, as the scheduler starts a backup; 1: normal.
    hooks.minimised = qEnvironmentVariable("KELVARO_SHOW_STATE") == "7";
    hooks.stopRequested = signalReceived;
    const int status = showUntilDone(model, cancel, hooks);
    if (worker.joinable()) worker.join();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "/?")) {
        std::cout << kUsage;
        return 0;
    }
    const auto parsed = parseRequest(args);
    if (const auto* bad = std::get_if<BadCommandLine>(&parsed)) std::cerr << "NTBackup.exe: " << bad->message << "\n" << kUsage;
    cancelOnSignals(cancel);

    const bool list = std::holds_alternative<Request>(parsed) && std::get<Request>(parsed).operation == Operation::List;
    if (hasDisplay() && !list) return runWithWindow(argc, argv, parsed);
    if (std::holds_alternative<BadCommandLine>(parsed)) return 2;

    TerminalObserver observer;
    std::string printed;
    const RunResult result = runOnThisMachine(std::get<Request>(parsed), observer, cancel, printed);
    std::cout << printed;
    return result.status;
}
