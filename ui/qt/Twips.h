#pragma once
#include <QRect>

namespace kelvaro::qtui {

// The window models give positions in twips (1440 per logical inch); the views
// place their widgets in pixels of the screen's logical resolution, so a layout
// keeps its proportions to the fonts at any dpi (15 twips a pixel at 96 dpi).
class Twips {
public:
    explicit Twips(double logicalDpi) : dpi_(logicalDpi > 0 ? logicalDpi : 96.0) {}
    // The primary screen's logical dpi, 96 when there is no screen.
    static Twips forScreen();

    double dpi() const { return dpi_; }
    int px(int twips) const;
    QRect rect(int left, int top, int width, int height) const {
        return QRect(px(left), px(top), px(width), px(height));
    }

private:
    double dpi_;
};

}  // namespace kelvaro::qtui
