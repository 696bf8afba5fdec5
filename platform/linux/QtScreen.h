#pragma once
#include <QObject>

#include "platform/Screen.h"

namespace kelvaro::linuxp {

// The primary screen's size in twips (1440 per logical inch) and the
// application-wide busy pointer.
class QtScreen : public QObject, public platform::Screen {
public:
    ~QtScreen() override;
    platform::ScreenSize size() override;
    // Busy is a state, not a count: setting it twice needs one reset, and a
    // reset without a busy pointer of ours leaves other override cursors alone.
    // While none of the program's windows is on the screen there is nothing to
    // show it on: it is put up when one appears, and until then the desktop's
    // animated pointer is not even loaded (a busy spell at start-up, before the
    // first window is drawn, would otherwise pay for it on the way there).
    void setBusyPointer(bool busy) override;

    // Pixels to twips at the given logical dots per inch, rounded to the nearest.
    static int pixelsToTwips(int pixels, double logicalDpi);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void putUp();
    bool busy_ = false;
    bool shown_ = false;  // the override cursor is ours to restore
};

}  // namespace kelvaro::linuxp
