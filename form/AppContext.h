#pragma once
#include <functional>
#include <string>

#include "form/MainForm.h"
#include "form/ScheduleState.h"
#include "form/SettingsModel.h"
#include "form/WindowHost.h"
#include "platform/Platform.h"

namespace kelvaro::form {

inline constexpr const char* kAppTitle = "Kelvaro Workstation";

// The program's shared state: the settings model, the schedule-check values,
// the main window's controls and the platform. Every procedure works on it.
struct AppContext {
    explicit AppContext(platform::Platform p) : platform(p) {}
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    platform::Platform platform;
    form::SettingsModel settings;
    form::ScheduleState schedule;
    MainForm main;
    WindowHost* host = nullptr;

    // The splash window during start-up; the first drive scan closes it.
    bool splashUp = false;
    std::function<void(const std::string&)> splashStatus;  // the probed drive's text
    std::function<void()> closeSplash;

    // The user has been told that the settings could not be written; told
    // again only after a save has succeeded.
    bool saveFailureTold = false;

    // Message boxes and modal windows now open. Each runs a nested event loop in
    // which timers keep firing; the schedule holds its due check back meanwhile.
    int nestedLoops = 0;
    struct NestedLoop {
        explicit NestedLoop(AppContext& c) : ctx(c) { ++ctx.nestedLoops; }
        ~NestedLoop() { --ctx.nestedLoops; }
        NestedLoop(const NestedLoop&) = delete;
        NestedLoop& operator=(const NestedLoop&) = delete;
        AppContext& ctx;
    };

    // A message box; the caption is the application title unless one is given.
    platform::Answer message(const std::string& text, platform::Buttons buttons = platform::Buttons::Ok,
                             platform::Icon icon = platform::Icon::None,
                             const std::string& caption = kAppTitle) {
        NestedLoop loop(*this);
        return platform.messages.show(text, buttons, icon, caption);
    }
    // The main window's state from the start-up window state ("1" minimised).
    void applyStartupWindowState() {
        main.window.setState(settings.startupWindowState == "1" ? WindowState::Minimized : WindowState::Normal);
    }
};

}  // namespace kelvaro::form
