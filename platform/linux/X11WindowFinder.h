#pragma once
#include <optional>
#include <string>

#include "platform/WindowFinder.h"

struct _XDisplay;

namespace kelvaro::linuxp {

// Finds a window of any X11 client by its whole title: the tree is walked from the
// root window (window managers reparent clients into frames), reading _NET_WM_NAME
// and, where a window has none, WM_NAME.
//
// The connection to $DISPLAY is opened on first use and kept; it is reopened when
// the server went away or DISPLAY names another one. Without a display nothing is
// found. X errors from windows that vanish during the walk are ignored, and a lost
// server connection does not end the program.
class X11WindowFinder : public platform::WindowFinder {
public:
    X11WindowFinder() = default;
    ~X11WindowFinder() override;
    X11WindowFinder(const X11WindowFinder&) = delete;
    X11WindowFinder& operator=(const X11WindowFinder&) = delete;

    bool existsWithTitle(const std::string& title) override;

    // True while a connection is open (after a lookup reached a server).
    bool connected() const { return display_ != nullptr; }

private:
    bool ensureConnection();
    void disconnect();
    bool connectionAlive() const;
    // The window's title, or none when it has no name property.
    std::optional<std::string> titleOf(unsigned long window);

    _XDisplay* display_ = nullptr;
    std::string displayName_;
    unsigned long netWmName_ = 0;
    unsigned long utf8String_ = 0;
    bool lost_ = false;
};

}  // namespace kelvaro::linuxp
