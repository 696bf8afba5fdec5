#pragma once
#include <memory>
#include <string>

#include "form/AppContext.h"
#include "form/CountBoxForm.h"
#include "platform/StateStore.h"
#include "platform/Timer.h"
#include "schedule/RunMemory.h"
#include "schedule/ScheduleCheck.h"

namespace kelvaro::ui {

inline constexpr const char* kHelpCommand = "winhlp32.exe KelvaroWorkStation.hlp";
inline constexpr const char* kStartSound = "autost1.wav";
inline constexpr const char* kAboutSound = "kelvaroreg.wav";

// The main window as data and behaviour: every control wired to its operation,
// the two timers, menus, toolbar, hints, title animation, start-up, About and quit.
class MainWindowModel {
public:
    // Wires everything and creates Timer1 (500 ms) and Timer5 (1000 ms); they
    // start with the main window's load in startUp(). With a state store the
    // schedule remembers what it saw, and a start offers a run missed while
    // the program was not running.
    explicit MainWindowModel(form::AppContext& ctx, platform::StateStore* state = nullptr);
    ~MainWindowModel();

    // The start-up sequence, splash first. Returns false when the program must end.
    bool startUp(form::SplashForm& splash);

    void scheduleTick();  // Timer1
    void titleTick();     // Timer5
    // A run is due: the countdown window, centred and modal.
    void openCountdown();

    // User events the view forwards.
    void mouseOver(const std::string& controlName);  // hint in status panel 2
    void toolbarClick(const std::string& key);
    // The window is asked to close from outside (window manager, session end).
    // Returns true when the close may go ahead.
    bool closeRequested();

    void showAbout();
    void quitPrompt();
    void toggleSound();
    void help(bool fromMenu);

    const std::string& iconName() const { return iconName_; }
    platform::Timer& timer1() { return *timer1_; }
    platform::Timer& timer5() { return *timer5_; }
    form::AppContext& context() { return ctx_; }

private:
    void wireMenus();
    void loadMainWindow(form::SplashForm& splash);

    form::AppContext& ctx_;
    std::unique_ptr<schedule::ScheduleCheck> check_;
    std::unique_ptr<schedule::RunMemory> memory_;
    std::unique_ptr<platform::Timer> timer1_;
    std::unique_ptr<platform::Timer> timer5_;
    std::string iconName_;
    bool ntOk_ = true;
};

}  // namespace kelvaro::ui
