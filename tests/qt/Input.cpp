#include "tests/qt/Input.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QWidget>
#include <QWindow>

// Exported by QtGui for the test library: the window system's own entry points.
Q_GUI_EXPORT void qt_handleMouseEvent(QWindow* window, const QPointF& local, const QPointF& global,
                                      Qt::MouseButtons state, Qt::MouseButton button, QEvent::Type type,
                                      Qt::KeyboardModifiers mods, int timestamp);
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text, bool autorep, ushort count);

namespace kelvaro::test::input {
namespace {

// Far apart, so two clicks never make a double click by accident.
ulong nextTimestamp() {
    static ulong stamp = 1000;
    stamp += 1000;
    return stamp;
}

void send(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons, ulong stamp) {
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier,
                      QPointingDevice::primaryPointingDevice());
    event.setTimestamp(stamp);
    QApplication::instance()->notify(widget, &event);
}

QPoint orCentre(QWidget* widget, QPoint pos) { return pos.isNull() ? widget->rect().center() : pos; }

}  // namespace

void click(QWidget* widget, QPoint pos) {
    pos = orCentre(widget, pos);
    const ulong stamp = nextTimestamp();
    send(widget, QEvent::MouseButtonPress, pos, Qt::LeftButton, stamp);
    send(widget, QEvent::MouseButtonRelease, pos, Qt::NoButton, stamp + 1);
}

void doubleClick(QWidget* widget, QPoint pos) {
    pos = orCentre(widget, pos);
    const ulong stamp = nextTimestamp();
    send(widget, QEvent::MouseButtonPress, pos, Qt::LeftButton, stamp);
    send(widget, QEvent::MouseButtonRelease, pos, Qt::NoButton, stamp + 1);
    send(widget, QEvent::MouseButtonPress, pos, Qt::LeftButton, stamp + 2);
    send(widget, QEvent::MouseButtonDblClick, pos, Qt::LeftButton, stamp + 2);
    send(widget, QEvent::MouseButtonRelease, pos, Qt::NoButton, stamp + 3);
}

void key(QWidget* widget, int code, Qt::KeyboardModifiers modifiers, const QString& text) {
    const ulong stamp = nextTimestamp();
    // Shortcuts first, as the application does; a shortcut takes the key.
    if (qt_sendShortcutOverrideEvent(widget, stamp, code, modifiers, text, false, 1)) return;
    QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
    press.setTimestamp(stamp);
    QApplication::instance()->notify(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
    release.setTimestamp(stamp + 1);
    QApplication::instance()->notify(widget, &release);
}

void type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        const int code = c.isLetter() ? c.toUpper().unicode() : c.unicode();
        key(widget, code, c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier, QString(c));
    }
}

void moveOver(QWidget* widget, QPoint pos) {
    pos = orCentre(widget, pos);
    QWindow* window = widget->window()->windowHandle();
    const QPoint global = widget->mapToGlobal(pos);
    qt_handleMouseEvent(window, window->mapFromGlobal(global), global, Qt::NoButton, Qt::NoButton,
                        QEvent::MouseMove, Qt::NoModifier, static_cast<int>(nextTimestamp()));
}

void clickThroughWindow(QWidget* widget, QPoint pos) {
    pos = orCentre(widget, pos);
    QWindow* window = widget->window()->windowHandle();
    const QPoint global = widget->mapToGlobal(pos);
    const QPointF local = window->mapFromGlobal(global);
    const int stamp = static_cast<int>(nextTimestamp());
    qt_handleMouseEvent(window, local, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress,
                        Qt::NoModifier, stamp);
    qt_handleMouseEvent(window, local, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease,
                        Qt::NoModifier, stamp + 1);
}

}  // namespace kelvaro::test::input
