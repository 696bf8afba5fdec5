#pragma once
#include <QLabel>

namespace kelvaro::ntbackup {

// A label that says a value (a phase, counts, a folder): a screen reader hears
// the value itself as its name, and `what` it is as its description.
QLabel* valueLabel(const char* name, const QString& what, QWidget* parent);
// Shows `text` (hidden while empty) and names the label by it.
void showValue(QLabel* label, const QString& text);

}  // namespace kelvaro::ntbackup
