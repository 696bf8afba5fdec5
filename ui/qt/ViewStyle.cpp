#include "ui/qt/ViewStyle.h"

#include <QFontDatabase>
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QLabel>
#include <QMainWindow>
#include <QPalette>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>
#include <QWindow>

#include "ui/qt/DeferredIcon.h"

namespace kelvaro::qtui {

namespace {

// Hands a window's flags to its native window once that is on the screen. For
// a window shown but not yet mapped, Qt first reads the window's state back
// from the X server: a round trip that waits while the window manager is still
// taking the window in (the splash is put on top just after it is shown).
class FlagsWhenExposed : public QObject {
public:
    static constexpr const char* kName = "kelvaro_flagsWhenExposed";

    FlagsWhenExposed(QWidget* widget, QWindow* native) : QObject(native), widget_(widget) {
        setObjectName(QLatin1String(kName));
        native->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* native = static_cast<QWindow*>(watched);
        if (event->type() == QEvent::Expose && native->isExposed()) {
            native->removeEventFilter(this);
            if (widget_) native->setFlags(widget_->windowFlags());
            deleteLater();
        }
        return false;
    }

private:
    QPointer<QWidget> widget_;
};

}  // namespace

void setStaysOnTop(QWidget* window, bool on) {
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    QWindow* native = window->windowHandle();
    if (!native) {
        window->setWindowFlags(flags);
        return;
    }
    window->overrideWindowFlags(flags);
    if (native->isVisible() && !native->isExposed()) {
        // One waiting hand-over takes the latest flags, however often they change.
        if (!native->findChild<QObject*>(QLatin1String(FlagsWhenExposed::kName), Qt::FindDirectChildrenOnly))
            new FlagsWhenExposed(window, native);
        return;
    }
    native->setFlags(flags);
}

QFont sansFont(double points, bool bold, bool italic) {
    // No style hint: the family is the desktop's own and needs none, and the
    // application font (which has none) then shares its fallback list.
    QFont font(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QFont windowFont() { return sansFont(8.25, true); }

QFont arialFont(double points, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void setBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

namespace {

class ProgramStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        // The main window's bars never move (a fixed toolbar, no docks), so its
        // layout's geometry animations all last 0 ms. With no duration Qt sets
        // the geometry at once instead of building an animation object for
        // each item on every layout pass, which brings Qt's animation framework
        // into the resident program for nothing seen.
        if (hint == SH_Widget_Animation_Duration && widget && qobject_cast<const QMainWindow*>(widget->parentWidget()))
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override {
        if (icon != SP_ToolBarHorizontalExtensionButton && icon != SP_ToolBarVerticalExtensionButton)
            return QProxyStyle::standardIcon(icon, option, widget);
        // The images Qt's common style takes for these arrows, in its resources.
        const bool horizontal = icon == SP_ToolBarHorizontalExtensionButton;
        const Qt::LayoutDirection direction = option ? option->direction : QGuiApplication::layoutDirection();
        const QString name = horizontal ? (direction == Qt::RightToLeft ? QStringLiteral("toolbar-ext-h-rtl-%1.png")
                                                                         : QStringLiteral("toolbar-ext-h-%1.png"))
                                        : QStringLiteral("toolbar-ext-v-%1.png");
        static constexpr int kWide[] = {8, 16, 32}, kTall[] = {5, 10, 20};
        QStringList files;
        for (const int size : horizontal ? kWide : kTall) {
            files << QStringLiteral(":/qt-project.org/styles/commonstyle/images/") + name.arg(size);
            if (!QFile::exists(files.last())) return QProxyStyle::standardIcon(icon, option, widget);  // another Qt: its own way
        }
        return deferredIcon(files);
    }
};

class CheckBoxSpacingStyle : public ProgramStyle {
public:
    CheckBoxSpacingStyle(int pixels, QStyle* base) : ProgramStyle(base), pixels_(pixels) {}
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_CheckBoxLabelSpacing) return pixels_;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    int pixels_;
};

QStyle* platformStyle() {
    // By the name the platform's style had before the program's took its place.
    static const QString name = QApplication::style()->name();
    return QStyleFactory::create(name);
}

}  // namespace

QStyle* createProgramStyle() { return new ProgramStyle(platformStyle()); }

void setCheckBoxSpacing(QWidget* box, int pixels) {
    // One style per gap, shared by every box that has it, for the program's life.
    static QHash<int, QPointer<QStyle>> styles;
    QPointer<QStyle>& style = styles[pixels];
    if (!style) {
        style = new CheckBoxSpacingStyle(pixels, platformStyle());
        style->setParent(qApp);
    }
    box->setStyle(style);
}

void setForeground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

void Placer::place(QWidget* widget, int left, int top, int width, int height, Grow grow) const {
    QRect r = twips_.rect(left, top, width, height);
    widget->ensurePolished();
    const QSize hint = widget->sizeHint();
    if (width == 0) r.setWidth(hint.width());
    if (height == 0) r.setHeight(hint.height());

    bool grew = false;
    if (grow != Grow::Never) {
        const auto* label = qobject_cast<const QLabel*>(widget);
        const bool wraps = label && label->wordWrap();
        int needed = hint.width();
        if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
            // Styles give push buttons a minimum width; only the text counts here.
            const QStyle* style = button->style();
            needed = QFontMetrics(button->font()).horizontalAdvance(button->text().remove(QLatin1Char('&'))) +
                     2 * (style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                          style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button));
        }
        if (wraps) {
            // A wrapping label may take more lines, up to its height; it grows
            // sideways only when the lines do not fit.
            const int oneLine = QFontMetrics(label->font()).horizontalAdvance(label->text()) +
                                2 * (label->margin() + label->frameWidth()) + 2;
            needed = r.width();
            while (label->heightForWidth(needed) > r.height() && needed < oneLine) needed += 2;
        }
        if (needed > r.width()) {
            const int extra = needed - r.width();
            if (grow == Grow::BothWays) r.moveLeft(r.left() - extra / 2);
            if (grow == Grow::Left) r.moveLeft(r.left() - extra);
            r.setWidth(needed);
            grew = true;
        }
        if (label && !wraps && height != 0 && hint.height() > r.height()) {
            r.setHeight(hint.height());
            grew = true;
        }
    }
    widget->setGeometry(r);
    if (grew) widget->setProperty("kelvaroWidened", true);
}

QStringList widenedControls(const QWidget* root) {
    QStringList names;
    for (const QWidget* w : root->findChildren<const QWidget*>())
        if (w->property("kelvaroWidened").toBool()) names << w->objectName();
    return names;
}

}  // namespace kelvaro::qtui
