#pragma once
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "ntbackup/ProgressModel.h"

namespace kelvaro::ntbackup {

// The part of the Restore window that stands while a restore runs: the phase,
// the counts, a progress bar and Cancel, as in the Backup window; at the end
// the summary and Close.
class RestoreRunPanel : public QWidget {
    Q_OBJECT
public:
    using Run = std::function<RunResult(RunObserver&, const std::atomic<bool>& cancel)>;
    RestoreRunPanel(std::atomic<bool>& cancel, QWidget* parent = nullptr);
    ~RestoreRunPanel() override;  // waits for the run's thread

    // Runs `run` on a thread of its own.
    void start(Run run);
    bool running() const { return worker_.joinable() && !over_; }
    void cancelRun();
    void refresh();

signals:
    // The run is over (once), sent from the event loop.
    void ended(int status);
    void closeClicked();

private:
    void end();

    std::atomic<bool>& cancel_;
    std::unique_ptr<ProgressModel> model_;
    std::thread worker_;
    QLabel* phase_;
    QLabel* counts_;
    QProgressBar* bar_;
    QLabel* exceptions_;
    QLabel* notice_;
    QLabel* summary_;
    QPushButton* button_;
    QTimer timer_;
    bool ending_ = false, over_ = false;
};

}  // namespace kelvaro::ntbackup
