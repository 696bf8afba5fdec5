#include "ui/qt/ModalWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>

#include "ui/qt/Binding.h"
#include "ui/qt/ViewStyle.h"

namespace kelvaro::qtui {

ModalWindow::ModalWindow(form::Window& model, Qt::WindowFlags flags, QWidget* parent)
    : QDialog(parent, flags), model_(model), twips_(Twips::forScreen()) {
    setObjectName(QString::fromStdString(model_.name()));
    setProperty(kControlProperty, objectName());
    setFont(windowFont());
    setModal(true);
    setWindowModality(Qt::ApplicationModal);
    fixSize();
    QPointer<ModalWindow> self(this);
    model_.addObserver([self](form::Change change) {
        if (!self) return;
        if (change == form::Change::State) self->sync();
        if (change == form::Change::Redraw && self->isVisible()) self->repaint();
    });
    sync();
}

void ModalWindow::fixSize() { setFixedSize(twips_.px(model_.width()), twips_.px(model_.height())); }

void ModalWindow::sync() {
    const QString caption = QString::fromStdString(model_.caption());
    if (windowTitle() != caption) setWindowTitle(caption);
    // A window is named by its title; one without a title keeps the name its
    // view gives it.
    if (!caption.isEmpty() && accessibleName() != caption) setAccessibleName(caption);
    const QPoint position(twips_.px(model_.left()), twips_.px(model_.top()));
    if (pos() != position) move(position);
    setStaysOnTop(this, model_.topmost());
    if (!model_.isOpen() && isVisible()) {
        closing_ = true;
        done(QDialog::Accepted);
        closing_ = false;
    }
}

void ModalWindow::runModal() {
    if (!model_.isOpen()) return;
    sync();
    exec();
}

void ModalWindow::closeEvent(QCloseEvent* event) {
    // Only the model closes it.
    if (closing_ || !model_.isOpen())
        event->accept();
    else
        event->ignore();
}

void ModalWindow::keyPressEvent(QKeyEvent* event) {
    // Escape must not close it: QDialog would reject.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace kelvaro::qtui
