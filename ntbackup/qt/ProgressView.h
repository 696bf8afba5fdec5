#pragma once
#include <QLabel>
#include <QProgressBar>

#include "ntbackup/ProgressModel.h"

namespace kelvaro::ntbackup {

// What the Backup window and the Restore window's run panel show alike.
struct ProgressWidgets {
    QLabel* counts;
    QProgressBar* bar;
    QLabel* exceptions;
    QLabel* notice;
};

// The counts, the bar (running to and fro while the files ahead are still
// being counted), the exceptions and the notice, as the state has them.
void showProgress(const ProgressState& state, const ProgressWidgets& widgets);

}  // namespace kelvaro::ntbackup
