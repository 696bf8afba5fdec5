#include "ntbackup/qt/ProgressView.h"

#include "ntbackup/qt/ValueLabel.h"

namespace kelvaro::ntbackup {

void showProgress(const ProgressState& s, const ProgressWidgets& w) {
    showValue(w.counts, QString::fromStdString(countsText(s)));
    const auto percent = percentDone(s);
    if (w.bar->maximum() != (percent ? 100 : 0)) w.bar->setRange(0, percent ? 100 : 0);
    if (percent && w.bar->value() != *percent) w.bar->setValue(*percent);
    showValue(w.exceptions, s.exceptions == 0 ? QString()
                                              : QString("Exceptions: %1. Last: %2")
                                                    .arg(s.exceptions)
                                                    .arg(QString::fromStdString(s.lastException)));
    showValue(w.notice, QString::fromStdString(s.notice));
}

}  // namespace kelvaro::ntbackup
