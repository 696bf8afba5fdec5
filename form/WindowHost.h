#pragma once

namespace kelvaro::form {

struct MainForm;
struct CountBoxForm;
struct AboutForm;
struct SplashForm;

// Shows window models on the desktop: the modal-window operation, plus the few
// process-level actions the models need. A window's model closes it with
// `window.close()`; the view follows.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    // Modal: returns when the window has closed. Other windows' timers keep ticking.
    virtual void showModal(CountBoxForm& countdown) = 0;
    virtual void showModal(AboutForm& about) = 0;
    // Not modal: returns at once.
    virtual void show(SplashForm& splash) = 0;
    virtual void show(MainForm& main) = 0;
    // Ends the process at once, without any close handling.
    virtual void exitProcess(int code) = 0;
};

}  // namespace kelvaro::form
