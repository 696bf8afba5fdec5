#include "form/Text.h"

namespace kelvaro::form {
namespace {

bool continuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte offset where character `index` begins, or the text's size.
std::size_t offsetOf(const std::string& text, std::size_t index) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (continuationByte(text[i])) continue;
        if (chars == index) return i;
        ++chars;
    }
    return text.size();
}

}  // namespace

std::size_t characterCount(const std::string& text) {
    std::size_t n = 0;
    for (char c : text)
        if (!continuationByte(c)) ++n;
    return n;
}

std::string firstCharacters(const std::string& text, std::size_t count) {
    return text.substr(0, offsetOf(text, count));
}

std::string characterAt(const std::string& text, std::size_t index) {
    const std::size_t begin = offsetOf(text, index);
    return text.substr(begin, offsetOf(text, index + 1) - begin);
}

}  // namespace kelvaro::form
