#include "ntbackup/qt/ClashQuestion.h"

#include <QMessageBox>
#include <QPushButton>

namespace kelvaro::ntbackup {

QString clashText(std::size_t clashes) {
    return clashes == 1 ? QString("1 file to be restored is there already.")
                        : QString("%1 files to be restored are there already.").arg(clashes);
}

std::optional<ClashAnswer> ClashMessageBox::ask(std::size_t clashes, QWidget* parent) {
    QMessageBox box(QMessageBox::Question, "Files there already", clashText(clashes), QMessageBox::NoButton, parent);
    box.setObjectName("ClashQuestion");
    box.setInformativeText("What shall be done with them?");
    const std::pair<const char*, ClashAnswer> answers[] = {{"Keep the newer file", ClashAnswer::KeepNewer},
                                                           {"Replace with the backup", ClashAnswer::Replace},
                                                           {"Keep both", ClashAnswer::KeepBoth}};
    std::vector<std::pair<QPushButton*, ClashAnswer>> buttons;
    for (const auto& [text, answer] : answers) {
        auto* b = box.addButton(text, QMessageBox::AcceptRole);
        b->setObjectName(text);
        buttons.emplace_back(b, answer);
    }
    box.addButton(QMessageBox::Cancel)->setObjectName("Cancel");
    // The safe answer first: nothing newer is lost by Enter.
    box.setDefaultButton(buttons.front().first);
    box.exec();
    for (const auto& [b, answer] : buttons)
        if (box.clickedButton() == b) return answer;
    return std::nullopt;
}

}  // namespace kelvaro::ntbackup
