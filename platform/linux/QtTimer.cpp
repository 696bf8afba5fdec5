#include "platform/linux/QtTimer.h"

namespace kelvaro::linuxp {

QtTimer::QtTimer() {
    // Millisecond intervals as asked, not coarsened to save wake-ups.
    timer_.setTimerType(Qt::PreciseTimer);
    // The callback runs from a posted event, not inside the timer's own
    // activation: Qt does not fire a timer again while its activation is still
    // running, and a tick may open a modal window (the countdown) during which
    // the same timer must keep ticking (the clock).
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        QMetaObject::invokeMethod(
            &timer_,
            [this] {
                // A copy: the callback may replace itself or disable the timer.
                if (!enabled_) return;
                if (auto cb = callback_) cb();
            },
            Qt::QueuedConnection);
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
