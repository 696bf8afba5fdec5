#pragma once
#include <QDialog>

#include "form/Window.h"
#include "ui/qt/Twips.h"

namespace kelvaro::qtui {

// A modal dialog that follows a window of the model: placed at the model's
// position, kept on top when the model says so, and closed only when the model
// closes its window (Escape and the window manager's close do nothing).
class ModalWindow : public QDialog {
    Q_OBJECT
public:
    ModalWindow(form::Window& model, Qt::WindowFlags flags, QWidget* parent = nullptr);

    // Runs the dialog until the model closes its window; returns at once when
    // that window is not open.
    void runModal();
    const Twips& twips() const { return twips_; }

public slots:
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Sets the fixed client size from the model's window size.
    void fixSize();
    form::Window& model_;

private:
    void sync();
    Twips twips_;
    bool closing_ = false;
};

}  // namespace kelvaro::qtui
