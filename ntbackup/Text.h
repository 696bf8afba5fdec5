#pragma once
#include <cstdint>
#include <string>

namespace kelvaro::ntbackup {

std::string lowerAscii(std::string s);
// "1,234,567": byte counts in the log and the catalog.
std::string groupedNumber(std::uint64_t n);
// One line of text for files that are read line by line: backslash, newline,
// carriage return and tab escaped; unescape() takes them back.
std::string escapeLine(const std::string& s);
std::string unescapeLine(const std::string& s);

}  // namespace kelvaro::ntbackup
