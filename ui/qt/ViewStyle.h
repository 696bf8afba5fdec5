#pragma once
#include <QColor>
#include <QFont>
#include <QStringList>

#include "ui/qt/Twips.h"

class QStyle;
class QWidget;

namespace kelvaro::qtui {

// The grey of the original's panels and labels.
inline QColor panelGrey() { return QColor(192, 192, 192); }
// The dark blue of the saved-settings panel.
inline QColor settingsBlue() { return QColor(0, 0, 192); }

// The windows' default font: the original's MS Sans Serif has no Linux twin, so
// the desktop's sans-serif at the same size and weight.
QFont windowFont();
// The desktop's sans-serif at another size and style.
QFont sansFont(double points, bool bold, bool italic = false);
// The clock and the countdown number asked for Arial. The sans-serif hint ranks
// the desktop's sans-serif above fontconfig's metric aliases of the name: URW's
// Type 1 Nimbus Sans, the twin that comes with Ghostscript, draws a 38-pixel
// line at this size, taller than the clock's 33-pixel box.
QFont arialFont(double points, bool bold);

// The application's style: the platform's own, except that the menu bar's and
// toolbars' extension arrows are read as the PNG images they are (see
// readImage), and only when first drawn: Qt's own style reads them at start-up,
// without naming the format.
QStyle* createProgramStyle();

void setBackground(QWidget* widget, const QColor& colour);
// The gap between a check box's square and its text. A proxy of the application
// style does it: a style sheet would too, but would bring the style sheet engine
// into the resident program for one number.
void setCheckBoxSpacing(QWidget* box, int pixels);
void setForeground(QWidget* widget, const QColor& colour);

// Puts widgets at their twip rectangles. The Linux fonts draw most texts wider
// than the originals, so a widget that shows a fixed text grows to the text's
// size instead of cutting it: to the right, both ways for a centred text, or to
// the left for a label that ends at the box it names.
// A widget that grew carries the property "kelvaroWidened".
class Placer {
public:
    enum class Grow { Right, BothWays, Left, Never };
    explicit Placer(const Twips& twips) : twips_(twips) {}
    // A width or height of 0 takes the widget's own size for its text.
    void place(QWidget* widget, int left, int top, int width = 0, int height = 0, Grow grow = Grow::Right) const;
    const Twips& twips() const { return twips_; }

private:
    Twips twips_;
};

// Keeps a top-level window above all others, or releases it, without moving
// or resizing it. Once the window exists on the desktop only its hint is
// changed: recreating it would flash it off and on again. A window shown but
// not yet on the screen gets the hint when it first is.
void setStaysOnTop(QWidget* window, bool on);

// The names of the widgets under `root` that grew to fit their texts.
QStringList widenedControls(const QWidget* root);

}  // namespace kelvaro::qtui
