#pragma once
#include <string>

namespace kelvaro::form {

// Texts are UTF-8; lengths and positions count characters, never bytes, so a
// limit or a cut never splits a non-ASCII character.
std::size_t characterCount(const std::string& text);
// The first `count` characters (the whole text when it is shorter).
std::string firstCharacters(const std::string& text, std::size_t count);
// The character at 0-based `index`, or empty when the text is shorter.
std::string characterAt(const std::string& text, std::size_t index);

}  // namespace kelvaro::form
