#pragma once
#include "form/CountBoxForm.h"
#include "ui/qt/ModalWindow.h"

class QPushButton;

namespace kelvaro::qtui {

// The countdown window: no title bar, a fixed frame, on top of everything,
// application modal. No button is the default or the cancel button, so neither
// Enter nor Escape answers it by themselves; Enter and Space press the button
// that has the focus, which is "&OK" when it opens.
class CountBoxView : public ModalWindow {
    Q_OBJECT
public:
    // The form must outlive the view.
    explicit CountBoxView(form::CountBoxForm& form, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* button(form::Button& control, int left);
    form::CountBoxForm& form_;
    QPushButton* ok_ = nullptr;
};

}  // namespace kelvaro::qtui
