#pragma once
#include "form/CountBoxForm.h"
#include "ui/qt/ModalWindow.h"

namespace kelvaro::qtui {

// The About box: a fixed dialog frame with its caption and no window buttons,
// grey, the program's picture, its two title icons and the version texts. A
// mouse click anywhere on it closes it (through the form); from the keyboard,
// Enter, Space or Escape do the same.
class AboutView : public ModalWindow {
    Q_OBJECT
public:
    // The form must outlive the view.
    explicit AboutView(form::AboutForm& form, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    form::AboutForm& form_;
};

}  // namespace kelvaro::qtui
