#include "ui/qt/CountBoxView.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <qdrawutil.h>

#include "ui/qt/Binding.h"
#include "ui/qt/ViewStyle.h"

namespace kelvaro::qtui {

CountBoxView::CountBoxView(form::CountBoxForm& form, QWidget* parent)
    // Without a title hint the window manager draws a frame but no title bar.
    : ModalWindow(form.window, Qt::Dialog | Qt::CustomizeWindowHint, parent), form_(form) {
    // It has no title to be named by: its heading names it.
    setAccessibleName(QStringLiteral("NTBackup Will Start In"));
    const Placer p(twips());
    using Grow = Placer::Grow;

    // Tab order is creation order among the focusable widgets: "&OK" first.
    auto* heading = new QLabel(this);
    bindLabel(form_.Label1, heading);
    heading->setAlignment(Qt::AlignCenter);
    p.place(heading, 720, 480, 2175, 255, Grow::BothWays);

    auto* count = new QLabel(this);
    bindValueLabel(form_.CountCaption, count, QString::fromStdString(form_.Label1.caption()));
    count->setAlignment(Qt::AlignCenter);
    count->setFont(arialFont(20.25, true));
    setForeground(count, QColor(255, 0, 0));
    p.place(count, 1080, 720, 1455, 495, Grow::Never);

    ok_ = button(form_.Command1, 120);
    button(form_.Command2, 1200);
    button(form_.Command3, 2280);

    auto* title = new QLabel(this);
    bindLabel(form_.Label2, title);
    title->setAlignment(Qt::AlignCenter);
    p.place(title, 480, 120, 2535, 255, Grow::BothWays);

    ok_->setFocus(Qt::OtherFocusReason);
}

QPushButton* CountBoxView::button(form::Button& control, int left) {
    auto* w = new QPushButton(this);
    bindButton(control, w);
    // In a dialog every push button would become the default when focused.
    w->setAutoDefault(false);
    w->setDefault(false);
    Placer(twips()).place(w, left, 1440, 855, 375, Placer::Grow::BothWays);
    return w;
}

void CountBoxView::showEvent(QShowEvent* event) {
    ModalWindow::showEvent(event);
    ok_->setFocus(Qt::ActiveWindowFocusReason);
}

void CountBoxView::keyPressEvent(QKeyEvent* event) {
    // Enter presses the focused button only: there is no default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget()); focused && focused->isEnabled()) {
            focused->click();
        }
        event->accept();
        return;
    }
    ModalWindow::keyPressEvent(event);
}

void CountBoxView::paintEvent(QPaintEvent*) {
    // The dialog frame, drawn inside: with no title bar some window managers
    // draw no border either.
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), false);
}

}  // namespace kelvaro::qtui
