#pragma once
#include <functional>
#include <string>
#include <vector>

#include "form/CountBoxForm.h"
#include "form/MainForm.h"
#include "form/WindowHost.h"

namespace kelvaro::fake {

// Records the windows the models show; a modal show runs the test's script
// (for example moving the fake timers on) while the window is "open".
class FakeWindowHost : public form::WindowHost {
public:
    void showModal(form::CountBoxForm& countdown) override {
        lastCountdown = &countdown;
        runModal(countdown.window);
        lastCountdown = nullptr;
    }
    void showModal(form::AboutForm& about) override {
        lastAbout = &about;
        runModal(about.window);
        lastAbout = nullptr;
    }
    void show(form::SplashForm& splash) override { shown.push_back(splash.window.name()); }
    void show(form::MainForm& main) override { shown.push_back(main.window.name()); }
    void exitProcess(int code) override { exitCodes.push_back(code); }

    std::function<void(form::Window&)> onModal;  // runs while a modal window is "open"
    std::vector<std::string> modalShown;         // window names, in order
    std::vector<std::string> shown;
    std::vector<int> exitCodes;
    int modalDepth = 0;
    form::CountBoxForm* lastCountdown = nullptr;  // the open countdown, while modal
    form::AboutForm* lastAbout = nullptr;

private:
    void runModal(form::Window& window) {
        modalShown.push_back(window.name());
        ++modalDepth;
        if (onModal) onModal(window);
        --modalDepth;
    }
};

}  // namespace kelvaro::fake
