#include "ui/qt/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace kelvaro::qtui {

Twips Twips::forScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return Twips(screen ? screen->logicalDotsPerInch() : 96.0);
}

int Twips::px(int twips) const { return static_cast<int>(std::lround(twips * dpi_ / 1440.0)); }

}  // namespace kelvaro::qtui
