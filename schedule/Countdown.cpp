#include "schedule/Countdown.h"

#include <string>

#include "backup/Launch.h"
#include "schedule/TimeText.h"

namespace kelvaro::schedule {
namespace {

constexpr int kStartCount = 31;  // blank for the first second, then 30 .. 1
constexpr int kTickMs = 1000;
constexpr int kSnoozeMinutes = 15;
constexpr const char* kSnoozeQuestion = " Snooze For 15 minutes  ";

}  // namespace

Countdown::Countdown(form::AppContext& ctx, form::CountBoxForm& form) : ctx_(ctx), form_(form) {
    form_.Command1.onClick = [this] { startNow(); };
    form_.Command2.onClick = [this] { cancel(); };
    form_.Command3.onClick = [this] { snooze(); };
    timer_ = ctx_.platform.timers.createTimer();
    timer_->setInterval(kTickMs);
    timer_->setCallback([this] { tick(); });
}

Countdown::~Countdown() {
    timer_->setEnabled(false);
    // The form may outlive this object; its buttons must not reach it any more.
    form_.Command1.onClick = nullptr;
    form_.Command2.onClick = nullptr;
    form_.Command3.onClick = nullptr;
}

void Countdown::load() {
    ctx_.schedule.latch();
    counter_ = kStartCount;
    form_.CountCaption.setCaption("");
    form_.window.setTopmost(true);
    form_.window.markOpen();
    timer_->setEnabled(true);
}

void Countdown::tick() {
    // While the snooze question is open a launch would close the window under it;
    // the countdown simply stands still until the question is answered.
    if (asking_ || !form_.window.isOpen()) return;
    --counter_;
    form_.CountCaption.setCaption(std::to_string(counter_));
    form_.CountCaption.refresh();
    if (counter_ == 1) {
        backup::BackupLaunch(ctx_, [this] { close(); });
        ctx_.main.Shape1.setVisible(false);
        close();
    }
}

void Countdown::startNow() {
    if (!form_.window.isOpen()) return;
    backup::BackupLaunch(ctx_, [this] { close(); });
    close();
}

void Countdown::cancel() {
    if (!form_.window.isOpen()) return;
    ctx_.main.lblSnozzeTime.setVisible(false);
    ctx_.main.lblSnozzeTime.refresh();
    ctx_.main.Shape1.setVisible(false);
    close();
}

void Countdown::snooze() {
    if (!form_.window.isOpen() || asking_) return;
    asking_ = true;
    const auto answer = ctx_.message(kSnoozeQuestion, platform::Buttons::YesNo, platform::Icon::Exclamation);
    asking_ = false;
    // Something else may have closed the window while the question was open.
    if (!form_.window.isOpen()) return;

    auto& f = ctx_.main;
    if (answer == platform::Answer::Yes) {
        // The base is the minute the schedule last saw, so a snooze lands on a whole minute.
        ctx_.settings.snoozeUntil(addMinutes(ctx_.schedule.currentMinute, kSnoozeMinutes));
        f.lblSnozzeTime.setVisible(true);
        f.lblSnozzeTime.setCaption(ctx_.settings.runTime());
        f.lblSnozzeTime.refresh();
        f.Shape1.setVisible(true);
    } else {
        f.Shape1.setVisible(false);
    }
    ctx_.applyStartupWindowState();
    close();
}

void Countdown::close() {
    // A tick after closing must find nothing to do.
    timer_->setEnabled(false);
    form_.window.close();
}

}  // namespace kelvaro::schedule
