#pragma once
// The program's shared context on the fake platform, for tests of the models.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "form/AppContext.h"
#include "form/CountBoxForm.h"
#include "platform/fake/FakePlatform.h"
#include "platform/fake/FakeWindowHost.h"
#include "schedule/Countdown.h"
#include "schedule/ScheduleCheck.h"
#include "schedule/TimeText.h"
#include "ui/Wiring.h"

namespace kelvaro::test {

// Fakes, the shared context and the main window's setting controls wired to
// their operations. No start-up has run: the controls hold their design-time
// values and the store is empty until a test fills it.
struct App {
    fake::FakePlatform fp;
    fake::FakeWindowHost host;
    form::AppContext ctx{fp.platform()};

    App() {
        ctx.host = &host;
        ui::wireControls(ctx);
    }
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    form::MainForm& main() { return ctx.main; }
    form::SettingsModel& settings() { return ctx.settings; }

    // How often the whole settings model was written (one commit per full save).
    int fullSaves() const { return fp.store.commits; }
    // A stored value of the program's application, "<missing>" when absent.
    std::string stored(const std::string& section, const std::string& key) const {
        return fp.store.value(section, key);
    }

    std::size_t messageCount() const { return fp.messages.shown.size(); }
    const fake::ShownMessage& lastMessageShown() const { return fp.messages.shown.back(); }
    std::string lastMessage() const { return fp.messages.shown.empty() ? std::string() : fp.messages.shown.back().text; }
    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& m : fp.messages.shown) texts.push_back(m.text);
        return texts;
    }

    // Types into a text box and leaves it, as a user does.
    void enter(form::TextBox& box, const std::string& text) {
        box.type(text);
        box.loseFocus();
    }
    // Counts the focus requests a control receives from now on.
    static void countFocus(form::Control& control, int& count) {
        control.addObserver([&count](form::Change c) {
            if (c == form::Change::Focus) ++count;
        });
    }

    std::string today() { return schedule::formatDate(fp.clock.now()); }
};

struct AppFixture : ::testing::Test, App {};

// The schedule check as the main window drives it: the live day boxes and
// DAILY box, the clock label, and the countdown window created, centred and
// shown modally when a run is due. Ticks are called directly, so a test may
// move the fake timers on from inside an open countdown.
struct ScheduleRig {
    struct Opening {
        std::string today;   // "MM/DD/YY"
        std::string minute;  // "HH:MM"
        std::string weekday; // "Mon" .. "Sun"
    };

    explicit ScheduleRig(App& a)
        : app(a), check(a.ctx.settings, a.ctx.schedule, a.fp.clock, hooks()) {}

    // One tick of the 500 ms timer at the fake clock's time.
    void tick() { check.tick(); }
    // Sets the fake clock, then ticks.
    void tickAt(int year, int month, int day, int hour, int minute, int second = 0) {
        app.fp.clock.set(year, month, day, hour, minute, second);
        tick();
    }

    App& app;
    bool holdBack = false;  // as while another handler waits on a message box
    std::vector<Opening> openings;
    // The user's part while the countdown is open; the window is left as the
    // script leaves it.
    std::function<void(form::CountBoxForm&, schedule::Countdown&)> whileOpen;
    schedule::ScheduleCheck check;

private:
    schedule::ScheduleHooks hooks() {
        schedule::ScheduleHooks h;
        h.showClock = [this](const std::string& text) {
            app.ctx.main.lblTimeNow.setCaption(text);
            app.ctx.main.lblTimeNow.refresh();
        };
        h.dayBoxChecked = [this](int day) { return app.ctx.main.dayBoxes()[day]->checked(); };
        h.dailyBoxChecked = [this] { return app.ctx.main.DailyCheck.checked(); };
        h.due = [this] { openCountdown(); };
        h.heldBack = [this] { return holdBack || app.ctx.nestedLoops > 0; };
        return h;
    }

    void openCountdown() {
        auto& ctx = app.ctx;
        openings.push_back({ctx.schedule.today, ctx.schedule.currentMinute,
                            schedule::weekdayToken(app.fp.clock.now())});
        form::CountBoxForm box;
        schedule::Countdown countdown(ctx, box);
        countdown.load();
        schedule::centreWindow(box.window, ctx.platform.screen);
        form::AppContext::NestedLoop loop(ctx);
        app.host.onModal = [&](form::Window&) {
            if (whileOpen) whileOpen(box, countdown);
        };
        app.host.showModal(box);
        app.host.onModal = nullptr;
    }
};

}  // namespace kelvaro::test
