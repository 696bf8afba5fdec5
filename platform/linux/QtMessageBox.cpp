#include "platform/linux/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

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
    // Owned by the active window so that it opens over it, not somewhere on the desktop.
    QMessageBox box(qtIcon(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::NoButton, QApplication::activeWindow());
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
