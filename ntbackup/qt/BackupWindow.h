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
    // The run is over and the window may go: `status` is the program's exit status.
    void done(int status);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void cancelRun();
    static void showText(QLabel* label, const QString& text);

    const ProgressModel& model_;
    std::atomic<bool>& cancel_;
    QLabel* phase_;
    QLabel* counts_;
    QProgressBar* bar_;
    QLabel* exceptions_;
    QLabel* notice_;
    QPushButton* button_;
    QTimer timer_;
    bool over_ = false;
};

}  // namespace kelvaro::ntbackup
