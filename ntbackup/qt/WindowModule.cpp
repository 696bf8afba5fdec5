// ntbackup-window.so: the windows and the notifications of NTBackup.exe, which
// loads it only for them (the "Backup" window of a run, the "Restore" window,
// a notification after a run from a terminal).
#include <QApplication>
#include <QDesktopServices>
#include <QTimer>
#include <QUrl>
#include <atomic>
#include <thread>

#include "ntbackup/Notification.h"
#include "ntbackup/ProgressModel.h"
#include "ntbackup/Request.h"
#include "ntbackup/posix/Program.h"
#include "ntbackup/posix/WindowSide.h"
#include "ntbackup/qt/DesktopNotifier.h"
#include "ntbackup/qt/RestoreWindow.h"
#include "ntbackup/qt/WindowRun.h"

using namespace kelvaro::ntbackup;

namespace {

int runWithWindow(int argc, char** argv, const std::variant<Request, BadCommandLine>& parsed, std::atomic<bool>& cancel,
                  bool (*stopRequested)()) {
    QApplication app(argc, argv);
    ProgressModel model;
    std::thread worker;
    if (const auto* bad = std::get_if<BadCommandLine>(&parsed)) {
        model.finished({2, bad->message});
    } else {
        worker = std::thread([&model, &cancel, request = std::get<Request>(parsed)] {
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
        if (const auto n = notificationOnThisMachine(parsed, *s.result, s.exceptions, s.firstException)) notifier.send(*n);
    };
    hooks.stopRequested = stopRequested;
    const int status = showUntilDone(model, cancel, hooks);
    // The window is gone and, once the run's thread has ended, the tape is free:
    // nothing waits for this process while it serves Show Log for a short while.
    if (worker.joinable()) worker.join();
    QTimer stop;
    QObject::connect(&stop, &QTimer::timeout, [stopRequested] {
        if (stopRequested()) QCoreApplication::exit();
    });
    stop.start(200);
    notifier.serveActions(10000);
    return status;
}

int runRestoreWindow(int argc, char** argv, std::atomic<bool>& cancel, bool (*stopRequested)()) {
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
    QObject::connect(&stop, &QTimer::timeout, &window, [&window, stopRequested] {
        if (stopRequested()) window.close();
    });
    stop.start(200);
    window.show();
    return app.exec();
}

void notify(int argc, char** argv, const Notification& notification) {
    QCoreApplication app(argc, argv);
    DesktopNotifier(DesktopNotifier::sessionBus(), {}).send(notification);
}

const WindowSide kSide{runWithWindow, runRestoreWindow, notify};

}  // namespace

extern "C" __attribute__((visibility("default"))) const WindowSide* kelvaroWindowSide() { return &kSide; }
