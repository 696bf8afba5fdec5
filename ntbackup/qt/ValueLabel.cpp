#include "ntbackup/qt/ValueLabel.h"

namespace kelvaro::ntbackup {

QLabel* valueLabel(const char* name, const QString& what, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAccessibleDescription(what);
    label->hide();
    return label;
}

void showValue(QLabel* label, const QString& text) {
    if (label->text() == text && label->isVisibleTo(label->parentWidget()) == !text.isEmpty()) return;
    label->setText(text);
    label->setAccessibleName(text);
    label->setVisible(!text.isEmpty());
}

}  // namespace kelvaro::ntbackup
