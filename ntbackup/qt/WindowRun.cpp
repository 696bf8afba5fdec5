#include "ntbackup/qt/WindowRun.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include "ntbackup/qt/BackupWindow.h"

namespace kelvaro::ntbackup {

int showUntilDone(const ProgressModel& model, std::atomic<bool>& cancel, const WindowRunHooks& hooks) {
    // The window's done() alone ends the run: closing the last window must not
    // end it too, with status 0 and before a failure was read.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    BackupWindow window(model, cancel);
    QEventLoop loop;
    QObject::connect(&window, &BackupWindow::done, &loop, [&loop](int status) { loop.exit(status); });
    QObject::connect(&window, &BackupWindow::runEnded, &window, [&] {
        if (hooks.ended) hooks.ended(model.state());
    });
    QTimer stop;
    QObject::connect(&stop, &QTimer::timeout, &loop, [&] {
        if (!hooks.stopRequested || !hooks.stopRequested()) return;
        if (const auto result = model.state().result) loop.exit(result->status);
    });
    stop.start(200);

    if (hooks.minimised) {
        window.setAttribute(Qt::WA_ShowWithoutActivating);
        // Its size settled before it is first shown: showing may then change no
        // geometry, which would undo the minimised state (see BackupWindow).
        window.adjustSize();
        window.showMinimized();
    } else {
        window.show();
    }
    window.refresh();
    return loop.exec();
}

}  // namespace kelvaro::ntbackup
