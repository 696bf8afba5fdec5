#include "ntbackup/qt/RestoreRunPanel.h"

#include <QHBoxLayout>
#include <QMetaObject>
#include <QVBoxLayout>

#include "ntbackup/qt/ProgressView.h"
#include "ntbackup/qt/ValueLabel.h"

namespace kelvaro::ntbackup {

RestoreRunPanel::RestoreRunPanel(std::atomic<bool>& cancel, QWidget* parent) : QWidget(parent), cancel_(cancel) {
    phase_ = valueLabel("lblPhase", "Phase", this);
    counts_ = valueLabel("lblCounts", "Files and bytes", this);
    bar_ = new QProgressBar(this);
    bar_->setObjectName("progress");
    bar_->setAccessibleName("Progress");
    exceptions_ = valueLabel("lblExceptions", "Exceptions", this);
    notice_ = valueLabel("lblNotice", "Notice", this);
    summary_ = valueLabel("lblSummary", "Summary", this);
    button_ = new QPushButton("Cancel", this);
    button_->setObjectName("Cancel");
    button_->setAccessibleName("Cancel");
    connect(button_, &QPushButton::clicked, this, [this] { over_ ? emit closeClicked() : cancelRun(); });

    auto* layout = new QVBoxLayout(this);
    for (QWidget* w : std::initializer_list<QWidget*>{phase_, counts_, bar_, exceptions_, notice_, summary_})
        layout->addWidget(w);
    layout->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(button_);
    layout->addLayout(buttons);
    connect(&timer_, &QTimer::timeout, this, &RestoreRunPanel::refresh);
}

RestoreRunPanel::~RestoreRunPanel() {
    if (worker_.joinable()) {
        cancel_ = true;
        worker_.join();
    }
}

void RestoreRunPanel::start(Run run) {
    if (worker_.joinable()) worker_.join();
    model_ = std::make_unique<ProgressModel>();
    ending_ = over_ = false;
    cancel_ = false;
    button_->setText("Cancel");
    button_->setObjectName("Cancel");
    button_->setAccessibleName("Cancel");
    button_->setEnabled(true);
    showValue(summary_, {});
    worker_ = std::thread([model = model_.get(), run = std::move(run), this] {
        const RunResult result = run(*model, cancel_);
        if (!model->state().result) model->finished(result);
    });
    timer_.start(100);
    refresh();
}

void RestoreRunPanel::cancelRun() {
    if (over_) return;
    cancel_ = true;
    button_->setEnabled(false);
    showValue(phase_, "Cancelling");
}

void RestoreRunPanel::refresh() {
    if (!model_) return;
    const ProgressState s = model_->state();
    if (!cancel_) showValue(phase_, QString::fromStdString(s.phase.empty() ? "Starting" : s.phase));
    showProgress(s, {counts_, bar_, exceptions_, notice_});
    if (!s.result || ending_) return;
    // Decided in the event loop, never inside refresh(): whoever listens to
    // ended() is there, and an event loop to end is running.
    ending_ = true;
    timer_.stop();
    QMetaObject::invokeMethod(this, &RestoreRunPanel::end, Qt::QueuedConnection);
}

void RestoreRunPanel::end() {
    over_ = true;
    if (worker_.joinable()) worker_.join();
    const RunResult result = *model_->state().result;
    showValue(phase_, {});
    bar_->setRange(0, 100);
    if (result.status < 2) bar_->setValue(100);
    showValue(summary_, QString::fromStdString(result.text));
    button_->setText("Close");
    button_->setObjectName("Close");
    button_->setAccessibleName("Close");
    button_->setEnabled(true);
    button_->setFocus();
    emit ended(result.status);
}

}  // namespace kelvaro::ntbackup
