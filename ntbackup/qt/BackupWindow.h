#pragma once
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <atomic>

#include "ntbackup/ProgressModel.h"

namespace kelvaro::ntbackup {

// The window titled "Backup" that stands while a backup or restore runs; the
// scheduler refuses to start another run while it exists. It shows the phase,
// the counts and a progress bar, and offers Cancel. A run that ends well closes
// it; a failed one leaves it open with the reason until the user closes it.
class BackupWindow : public QWidget {
    Q_OBJECT
public:
    BackupWindow(const ProgressModel& model, std::atomic<bool>& cancel, QWidget* parent = nullptr);

    // Reads the model and shows what changed (a timer does this while the window stands).
    void refresh();

signals:
    // The run is over (once). Like done(), sent from the event loop only, never
    // from the constructor or refresh(), so that a run already over when the
    // window is made still reaches whoever connects afterwards, and an event
    // loop started afterwards is there to be ended.
    void runEnded(int status);
    // The run is over and the window may go: `status` is the program's exit status.
    void done(int status);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void end();
    void cancelRun();

    const ProgressModel& model_;
    std::atomic<bool>& cancel_;
    QLabel* phase_;
    QLabel* counts_;
    QProgressBar* bar_;
    QLabel* exceptions_;
    QLabel* notice_;
    QPushButton* button_;
    QTimer timer_;
    bool ending_ = false;  // the end is queued
    bool over_ = false;    // the end is shown
};

}  // namespace kelvaro::ntbackup
