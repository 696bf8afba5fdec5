#pragma once
#include "form/Controls.h"
#include "form/Window.h"

namespace kelvaro::form {

// The countdown window's controls as data, in tab order.
struct CountBoxForm {
    CountBoxForm() {
        window.setSize(3345, 1980);
    }
    Window window{"CountBox"};  // no title text: no title bar
    Label Label1{"Label1", "NTBackup Will Start In"};
    Label CountCaption{"CountCaption", ""};
    Button Command1{"Command1", "&OK"};
    Button Command2{"Command2", "&Cancel"};
    Button Command3{"Command3", "&Snooze"};
    Label Label2{"Label2", "Kelvaro for Windows NT"};
};

// The splash window shown during start-up.
struct SplashForm {
    SplashForm() { window.setSize(7575, 4575); }
    Window window{"Opening"};
    Label Label4{"Label4", "Stats"};  // status: the drive being probed
};

// The About box.
struct AboutForm {
    AboutForm() {
        window.setCaption("About Workstation Edition");
        window.setSize(6090, 4485);
    }
    Window window{"About"};
    Label lblVersion{"lblVersion", ""};
    // A click anywhere on the box closes it.
    void click() { window.close(); }
};

}  // namespace kelvaro::form
