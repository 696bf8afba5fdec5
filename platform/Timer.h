#pragma once
#include <functional>
#include <memory>

namespace kelvaro::platform {

// A periodic timer delivered through the user-interface event loop.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void setInterval(int milliseconds) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool enabled() const = 0;
    virtual void setCallback(std::function<void()> callback) = 0;
};

class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    virtual std::unique_ptr<Timer> createTimer() = 0;
};

}  // namespace kelvaro::platform
