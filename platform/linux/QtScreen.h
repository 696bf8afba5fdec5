#pragma once
#include "platform/Screen.h"

namespace kelvaro::linuxp {

// The primary screen's size in twips (1440 per logical inch) and the
// application-wide busy pointer.
class QtScreen : public platform::Screen {
public:
    ~QtScreen() override;
    platform::ScreenSize size() override;
    // Busy is a state, not a count: setting it twice needs one reset, and a
    // reset without a busy pointer of ours leaves other override cursors alone.
    void setBusyPointer(bool busy) override;

    // Pixels to twips at the given logical dots per inch, rounded to the nearest.
    static int pixelsToTwips(int pixels, double logicalDpi);

private:
    bool busy_ = false;
};

}  // namespace kelvaro::linuxp
