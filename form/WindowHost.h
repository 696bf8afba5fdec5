#pragma once

namespace kelvaro::form {

class Window;

// Shows window models on the desktop: the modal-window operation, plus the few
// process-level actions the models need.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    // Shows the window modally; returns when it has closed. Timers keep ticking.
    virtual void showModal(Window& window) = 0;
    // Shows the window without waiting.
    virtual void show(Window& window) = 0;
    // Ends the process at once, without any close handling.
    virtual void exitProcess(int code) = 0;
};

}  // namespace kelvaro::form
