#pragma once
#include <QString>
#include <cstddef>
#include <optional>

#include "ntbackup/PlaceRestore.h"

class QWidget;

namespace kelvaro::ntbackup {

// "3 files to be restored are there already."
QString clashText(std::size_t clashes);

// Asked before anything is written, when files to be restored are there
// already: one answer for all of them, or none (the restore does not start).
class ClashQuestion {
public:
    virtual ~ClashQuestion() = default;
    virtual std::optional<ClashAnswer> ask(std::size_t clashes, QWidget* parent) = 0;
};

// The question as a message box: "Keep the newer file", "Replace with the
// backup", "Keep both" and Cancel.
class ClashMessageBox : public ClashQuestion {
public:
    std::optional<ClashAnswer> ask(std::size_t clashes, QWidget* parent) override;
};

}  // namespace kelvaro::ntbackup
