#pragma once
#include <QTimer>
#include <functional>
#include <memory>

#include "platform/Timer.h"

namespace kelvaro::linuxp {

// A periodic timer on the Qt event loop of the thread that creates it. As with
// the timers the program was written for, an interval of 0 keeps it silent
// even when enabled, and changing the interval of a running timer restarts it.
class QtTimer : public platform::Timer {
public:
    QtTimer();
    void setInterval(int milliseconds) override;
    int interval() const override { return interval_; }
    void setEnabled(bool enabled) override;
    bool enabled() const override { return enabled_; }
    void setCallback(std::function<void()> callback) override { callback_ = std::move(callback); }

    // Whether the underlying QTimer is running (enabled with an interval above 0).
    bool isTicking() const { return timer_.isActive(); }

private:
    void update();

    QTimer timer_;
    int interval_ = 0;
    bool enabled_ = false;
    std::function<void()> callback_;
};

class QtTimerFactory : public platform::TimerFactory {
public:
    std::unique_ptr<platform::Timer> createTimer() override { return std::make_unique<QtTimer>(); }
};

}  // namespace kelvaro::linuxp
