#include "platform/linux/QtTimer.h"

namespace kelvaro::linuxp {

QtTimer::QtTimer() {
    // Millisecond intervals as asked, not coarsened to save wake-ups.
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        // A copy: the callback may replace itself or disable the timer.
        if (auto cb = callback_) cb();
    });
}

void QtTimer::setInterval(int milliseconds) {
    interval_ = milliseconds < 0 ? 0 : milliseconds;
    update();
}

void QtTimer::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    update();
}

void QtTimer::update() {
    if (enabled_ && interval_ > 0)
        timer_.start(interval_);
    else
        timer_.stop();
}

}  // namespace kelvaro::linuxp
