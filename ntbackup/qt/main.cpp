// NTBackup.exe: the backup program the scheduler starts, answering its command
// line. With a display it shows the "Backup" window while it runs; without one
// (a terminal, a service) it writes its progress as lines. A run that did not
// end well is told to the desktop's notification service as well. Started
// without an operation where there is a display (its "Restore Files" entry),
// it opens the "Restore" window.
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>
#include <atomic>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "ntbackup/Notification.h"
#include "ntbackup/ProgressModel.h"
#include "ntbackup/Request.h"
#include "ntbackup/TerminalObserver.h"
#include "ntbackup/posix/Program.h"
#include "ntbackup/qt/DesktopNotifier.h"
#include "ntbackup/qt/RestoreWindow.h"
#include "ntbackup/qt/WindowRun.h"
#include "platform/linux/DriveMap.h"

using namespace kelvaro::ntbackup;

namespace {

bool hasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* v = std::getenv(name); v && *v) return true;
    return false;
}

std::atomic<bool> cancel{false};

// The log the run wrote, when the command line asked for one and it is there.
std::optional<RunLogFile> logOf(const std::variant<Request, BadCommandLine>& parsed) {
    const auto* request = std::get_if<Request>(&parsed);
    if (!request || !request->logFile) return std::nullopt;
    const auto path = kelvaro::linuxp::DriveMap().toPosix(*request->logFile);
    if (!path || !QFileInfo(QString::fromStdString(*path)).isFile()) return std::nullopt;
    return RunLogFile{*request->logFile, *path};
}

std::optional<Notification> notificationOf(const std::variant<Request, BadCommandLine>& parsed,
                                           const RunResult& result, int exceptions, const std::string& first) {
    const auto* request = std::get_if<Request>(&parsed);
    return notificationFor(request ? request->operation : Operation::Backup, result, exceptions, first,
                           result.status == 0 ? std::nullopt : logOf(parsed));
}

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
    DesktopNotifier notifier(DesktopNotifier::sessionBus(), [](const std::string& path) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
    });
    WindowRunHooks hooks;
    // 7: minimised without taking the focus, as the scheduler starts a backup; 1: normal.
    hooks.minimised = qEnvironmentVariable("KELVARO_SHOW_STATE") == "7";
    hooks.ended = [&](const ProgressState& s) {
        if (const auto n = notificationOf(parsed, *s.result, s.exceptions, s.firstException)) notifier.send(*n);
    };
    hooks.stopRequested = signalReceived;
    const int status = showUntilDone(model, cancel, hooks);
    // The window is gone and, once the run's thread has ended, the tape is free:
    // nothing waits for this process while it serves Show Log for a short while.
    if (worker.joinable()) worker.join();
    QTimer stop;
    QObject::connect(&stop, &QTimer::timeout, [] {
        if (signalReceived()) QCoreApplication::exit();
    });
    stop.start(200);
    notifier.serveActions(10000);
    return status;
}

int runRestoreWindow(int argc, char** argv) {
    QApplication app(argc, argv);
    // Named by its desktop entry ("Restore Files"), for the desktop and for a screen reader.
    QApplication::setApplicationName("Kelvaro Restore");
    QGuiApplication::setDesktopFileName("kelvaro-restore");
    const auto tar = tarOnThisMachine();
    // Reading the tapes to show them is never cancelled; a signal cancels a restore.
    const std::atomic<bool> reading{false};
    RestoreBrowser browser(tapesFolderOnThisMachine(), *tar, reading);
    ClashMessageBox question;
    RestoreWindow window(browser, {drivePlaceOnThisMachine, restoreOnThisMachine, {}}, question, cancel);
    QTimer stop;
    QObject::connect(&stop, &QTimer::timeout, &window, [&window] {
        if (signalReceived()) window.close();
    });
    stop.start(200);
    window.show();
    return app.exec();
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
        return runRestoreWindow(argc, argv);
    }
    const auto parsed = parseRequest(args);
    if (const auto* bad = std::get_if<BadCommandLine>(&parsed)) std::cerr << "NTBackup.exe: " << bad->message << "\n" << kUsage;
    cancelOnSignals(cancel);

    const bool list = std::holds_alternative<Request>(parsed) && std::get<Request>(parsed).operation == Operation::List;
    if (hasDisplay() && !list) return runWithWindow(argc, argv, parsed);
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
    if (auto n = notificationOf(parsed, result, observer.exceptions, observer.first)) {
        QCoreApplication app(argc, argv);
        // The terminal waits for its prompt: nothing is offered that would keep it waiting.
        n->showLog.reset();
        DesktopNotifier(DesktopNotifier::sessionBus(), {}).send(*n);
    }
    return result.status;
}
