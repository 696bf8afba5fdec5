#pragma once
#include <functional>
#include <string>
#include <vector>

#include "form/Window.h"
#include "form/WindowHost.h"

namespace kelvaro::fake {

// Records the windows the models show; a modal show runs the test's script
// (for example moving the fake timers on) while the window is "open".
class FakeWindowHost : public form::WindowHost {
public:
    void showModal(form::Window& window) override {
        modalShown.push_back(window.name());
        ++modalDepth;
        if (onModal) onModal(window);
        --modalDepth;
    }
    void show(form::Window& window) override { shown.push_back(window.name()); }
    void exitProcess(int code) override { exitCodes.push_back(code); }

    std::function<void(form::Window&)> onModal;
    std::vector<std::string> modalShown;
    std::vector<std::string> shown;
    std::vector<int> exitCodes;
    int modalDepth = 0;
};

}  // namespace kelvaro::fake
