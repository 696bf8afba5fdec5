#pragma once
#include <QWidget>
#include <functional>
#include <memory>

#include "form/CountBoxForm.h"
#include "ui/qt/TextPictures.h"
#include "ui/qt/Twips.h"

namespace kelvaro::qtui {

// The start-up splash: frameless, a raised panel filling it, the product texts
// and the status line in which the drive scan names the drive being probed.
// It follows the form: position, on top, redraws, and closing.
class SplashView : public QWidget {
    Q_OBJECT
public:
    // `pump` lets the desktop draw the window while start-up holds the event
    // loop (the start sound, the drive scan); it may be empty. `captions` are
    // the product texts from drawCaptions(), started earlier; without them the
    // view starts drawing them itself. The form must outlive the view.
    explicit SplashView(form::SplashForm& form, std::function<void()> pump = {},
                        std::unique_ptr<TextPictures> captions = nullptr, QWidget* parent = nullptr);

    // Starts drawing the product texts in their large italic faces on a thread
    // of their own (see TextPictures): the faces go when it ends, and the
    // caller builds other windows meanwhile.
    static std::unique_ptr<TextPictures> drawCaptions();

    // Shows it where the form has it, and lets it be drawn.
    void showFromModel();

signals:
    // The form closed it after it was shown; it is not shown again.
    void closed();

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
