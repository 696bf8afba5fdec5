#include "ntbackup/qt/BackupWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMetaObject>
#include <QVBoxLayout>

#include "ntbackup/qt/ProgressView.h"
#include "ntbackup/qt/ValueLabel.h"

namespace kelvaro::ntbackup {

BackupWindow::BackupWindow(const ProgressModel& model, std::atomic<bool>& cancel, QWidget* parent)
    : QWidget(parent), model_(model), cancel_(cancel) {
    setObjectName("BackupWindow");
    // The scheduler looks for exactly this title.
    setWindowTitle("Backup");
    setMinimumWidth(480);

    phase_ = valueLabel("lblPhase", "Phase", this);
    counts_ = valueLabel("lblCounts", "Files and bytes", this);
    bar_ = new QProgressBar(this);
    bar_->setObjectName("progress");
    bar_->setRange(0, 100);
    bar_->setAccessibleName("Progress");
    exceptions_ = valueLabel("lblExceptions", "Exceptions", this);
    notice_ = valueLabel("lblNotice", "Notice", this);
    button_ = new QPushButton("Cancel", this);
    button_->setObjectName("cmdCancel");
    connect(button_, &QPushButton::clicked, this, [this] { over_ ? (void)close() : cancelRun(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(button_);
    auto* layout = new QVBoxLayout(this);
    for (QWidget* w : {static_cast<QWidget*>(phase_), static_cast<QWidget*>(counts_), static_cast<QWidget*>(bar_),
                       static_cast<QWidget*>(exceptions_), static_cast<QWidget*>(notice_)})
        layout->addWidget(w);
    layout->addLayout(buttons);

    connect(&timer_, &QTimer::timeout, this, &BackupWindow::refresh);
    timer_.start(100);
    refresh();
}


void BackupWindow::refresh() {
    const ProgressState s = model_.state();
    showValue(phase_, QString::fromStdString(s.phase.empty() ? "Starting" : s.phase));
    showProgress(s, {counts_, bar_, exceptions_, notice_});
    if (!s.result || ending_) return;
    ending_ = true;
    timer_.stop();
    QMetaObject::invokeMethod(this, &BackupWindow::end, Qt::QueuedConnection);
}

void BackupWindow::end() {
    over_ = true;
    const RunResult result = *model_.state().result;
    showValue(phase_, QString::fromStdString(result.text));  // a Cancel clicked meanwhile wrote over it
    emit runEnded(result.status);
    if (result.status < 2) {
        emit done(result.status);
        return;
    }
    // A failure stays in view, so that the next scheduled run is refused with the
    // scheduler's own message instead of failing where nobody sees it.
    button_->setText("Close");
    button_->setEnabled(true);
    if (isMinimized()) showNormal();
}

void BackupWindow::changeEvent(QEvent* event) {
    // Qt's X11 backend takes any new geometry of a minimised window as the end of
    // its minimised state and maps it again. So while minimised the layout keeps
    // the window's size as it is (the labels it shows come and go as the run
    // tells more), and fits the window to them once it is back in view.
    if (event->type() == QEvent::WindowStateChange && layout())
        layout()->setSizeConstraint(isMinimized() ? QLayout::SetNoConstraint : QLayout::SetDefaultConstraint);
    QWidget::changeEvent(event);
}

void BackupWindow::cancelRun() {
    cancel_ = true;
    button_->setEnabled(false);
    showValue(phase_, "Cancelling");
}

void BackupWindow::closeEvent(QCloseEvent* event) {
    if (over_) {
        event->accept();
        emit done(model_.state().result ? model_.state().result->status : 2);
        return;
    }
    // Closing a running backup cancels it; the window goes once the run has ended.
    event->ignore();
    cancelRun();
}

}  // namespace kelvaro::ntbackup
