#include "platform/linux/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

namespace kelvaro::linuxp {
namespace {

QMessageBox::Icon qtIcon(platform::Icon icon) {
    switch (icon) {
    case platform::Icon::Exclamation: return QMessageBox::Warning;
    case platform::Icon::Question: return QMessageBox::Question;
    case platform::Icon::Critical: return QMessageBox::Critical;
    case platform::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

platform::Answer QtMessageBox::show(const std::string& text, platform::Buttons buttons,
                                    platform::Icon icon, const std::string& caption) {
    // Owned by the active window so that it opens over it, not somewhere on the
    // desktop. It must never open behind a window of the program kept on top
    // (the splash at start-up, when no window is active yet): then it is kept
    // on top too, and owned by that window when there is no active one.
    QWidget* owner = QApplication::activeWindow();
    bool onTop = false;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || !w->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) continue;
        onTop = true;
        if (!owner) owner = w;
    }
    QMessageBox box(qtIcon(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::NoButton, owner);
    if (onTop) box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setTextFormat(Qt::PlainText);
    if (buttons == platform::Buttons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.exec();
        return platform::Answer::Ok;
    }
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    box.exec();
    // Closing the box any other way than with Yes declines.
    return box.clickedButton() == box.button(QMessageBox::Yes) ? platform::Answer::Yes
                                                               : platform::Answer::No;
}

}  // namespace kelvaro::linuxp
