#pragma once
#include <memory>

#include "form/AppContext.h"
#include "form/CountBoxForm.h"
#include "platform/Timer.h"

namespace kelvaro::schedule {

// The logic behind the countdown window: 30 seconds, then the backup launch;
// or start now, cancel this run, or snooze it by 15 minutes.
class Countdown {
public:
    // Wires the window's three buttons and creates its 1000 ms timer (not yet running).
    Countdown(form::AppContext& ctx, form::CountBoxForm& form);
    ~Countdown();
    void load();      // window load: latch, counter 31, caption empty, topmost, timer on
    void tick();      // Timer1 of the countdown window
    void startNow();  // "&OK"
    void cancel();    // "&Cancel"
    void snooze();    // "&Snooze"
    int counter() const { return counter_; }

private:
    void close();
    form::AppContext& ctx_;
    form::CountBoxForm& form_;
    std::unique_ptr<platform::Timer> timer_;
    int counter_ = 0;
    bool asking_ = false;  // the snooze question is open
};

}  // namespace kelvaro::schedule
