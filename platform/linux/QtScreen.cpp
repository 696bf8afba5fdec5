#include "platform/linux/QtScreen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace kelvaro::linuxp {

QtScreen::~QtScreen() { setBusyPointer(false); }

int QtScreen::pixelsToTwips(int pixels, double logicalDpi) {
    if (logicalDpi <= 0) logicalDpi = 96;  // a screen that reports nothing: the usual desktop
    return static_cast<int>(std::lround(pixels * 1440.0 / logicalDpi));
}

platform::ScreenSize QtScreen::size() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    const QRect g = screen->geometry();
    return {pixelsToTwips(g.width(), screen->logicalDotsPerInchX()),
            pixelsToTwips(g.height(), screen->logicalDotsPerInchY())};
}

namespace {

bool anyWindowOnScreen() {
    const QWindowList windows = QGuiApplication::topLevelWindows();
    return std::any_of(windows.begin(), windows.end(), [](const QWindow* w) { return w->isExposed(); });
}

}  // namespace

void QtScreen::setBusyPointer(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy) {
        if (anyWindowOnScreen())
            putUp();
        else
            qApp->installEventFilter(this);
        return;
    }
    if (qApp) qApp->removeEventFilter(this);
    if (shown_) QGuiApplication::restoreOverrideCursor();
    shown_ = false;
}

void QtScreen::putUp() {
    qApp->removeEventFilter(this);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    shown_ = true;
}

bool QtScreen::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && busy_ && !shown_) {
        // Seen before the window handles it: by then it counts as exposed.
        auto* window = qobject_cast<QWindow*>(watched);
        if (window && window->isExposed()) putUp();
    }
    return false;
}

}  // namespace kelvaro::linuxp
