#include "form/Controls.h"

#include "form/Text.h"

namespace kelvaro::form {

std::string TextBox::limited(const std::string& text) const {
    if (maxLength_ <= 0) return text;
    return firstCharacters(text, static_cast<std::size_t>(maxLength_));
}

void ListBox::removeItem(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) return;
    items_.erase(items_.begin() + index);
    if (current_ >= static_cast<int>(items_.size())) current_ = static_cast<int>(items_.size()) - 1;
    notify(Change::State);
}

}  // namespace kelvaro::form
