#pragma once
// The user's mouse and keyboard for the view tests, without the QtTest library
// (the tests link Qt Widgets only). Like QTest, clicks and keys are delivered to
// the widget as the application delivers them, shortcuts included; pointer
// moves and the blocked-input check go through the window system's path.
#include <QPoint>
#include <QString>
#include <Qt>

class QWidget;

namespace kelvaro::test::input {

// `pos` is in the widget's coordinates; the widget's centre when null.
void click(QWidget* widget, QPoint pos = {});
void doubleClick(QWidget* widget, QPoint pos = {});
void key(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {});
// One key a character, as typed.
void type(QWidget* widget, const QString& text);
// The pointer moves over the widget, through its window (enter events, mouse tracking).
void moveOver(QWidget* widget, QPoint pos = {});
// A click through the window system, which drops it when a modal window blocks
// the widget's window.
void clickThroughWindow(QWidget* widget, QPoint pos = {});

}  // namespace kelvaro::test::input
