#include "form/Controls.h"

namespace kelvaro::form {

std::string TextBox::limited(const std::string& text) const {
    if (maxLength_ <= 0) return text;
    // Count UTF-8 characters so that a limit never splits one.
    int chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (chars == maxLength_) return text.substr(0, i);
            ++chars;
        }
    }
    return text;
}

void ListBox::removeItem(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) return;
    items_.erase(items_.begin() + index);
    if (current_ >= static_cast<int>(items_.size())) current_ = static_cast<int>(items_.size()) - 1;
    notify(Change::State);
}

}  // namespace kelvaro::form
