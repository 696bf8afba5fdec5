#pragma once
#include <QWidget>
#include <functional>

#include "form/CountBoxForm.h"
#include "ui/qt/Twips.h"

namespace kelvaro::qtui {

// The start-up splash: frameless, a raised panel filling it, the product texts
// and the status line in which the drive scan names the drive being probed.
// It follows the form: position, on top, redraws, and closing.
class SplashView : public QWidget {
    Q_OBJECT
public:
    // `pump` lets the desktop draw the window while start-up holds the event
    // loop (the start sound, the drive scan); it may be empty. The form must
    // outlive the view.
    explicit SplashView(form::SplashForm& form, std::function<void()> pump = {}, QWidget* parent = nullptr);

    // Shows it where the form has it, and lets it be drawn.
    void showFromModel();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void sync();
    form::SplashForm& form_;
    std::function<void()> pump_;
    Twips twips_;
    bool shown_ = false;
};

}  // namespace kelvaro::qtui
