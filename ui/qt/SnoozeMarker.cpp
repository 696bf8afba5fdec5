#include "ui/qt/SnoozeMarker.h"

#include <QPainter>
#include <algorithm>

namespace kelvaro::qtui {

void SnoozeMarker::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int diameter = std::min(width(), height()) - 1;
    const QRect circle((width() - diameter) / 2, (height() - diameter) / 2, diameter, diameter);
    painter.setPen(QPen(QColor(255, 0, 0), 1));
    painter.setBrush(QColor(0, 0, 255));
    painter.drawEllipse(circle);
}

}  // namespace kelvaro::qtui
