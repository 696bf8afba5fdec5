#include "platform/linux/QtScreen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
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

void QtScreen::setBusyPointer(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

}  // namespace kelvaro::linuxp
