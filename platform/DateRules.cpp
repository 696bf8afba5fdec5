#include "platform/DateRules.h"

#include <cctype>
#include <vector>

namespace kelvaro::platform {
namespace {

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int m, int y) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

}  // namespace

bool isValidMonthDayYear(const std::string& text) {
    // Surrounding blanks are tolerated, as a date parser would.
    std::size_t b = text.find_first_not_of(' ');
    std::size_t e = text.find_last_not_of(' ');
    if (b == std::string::npos) return false;
    const std::string t = text.substr(b, e - b + 1);

    std::vector<std::string> parts(1);
    char sep = 0;
    for (char c : t) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            parts.back() += c;
        } else if (c == '/' || c == '-' || c == '.') {
            if (sep != 0 && c != sep) return false;
            sep = c;
            parts.emplace_back();
        } else {
            return false;
        }
    }
    if (parts.size() != 3) return false;
    for (const auto& p : parts)
        if (p.empty()) return false;
    if (parts[0].size() > 2 || parts[1].size() > 2) return false;
    if (parts[2].size() != 2 && parts[2].size() != 4) return false;

    const int month = std::stoi(parts[0]);
    const int day = std::stoi(parts[1]);
    int year = std::stoi(parts[2]);
    if (parts[2].size() == 2) year += year < 30 ? 2000 : 1900;
    if (year < 100) return false;
    if (month < 1 || month > 12) return false;
    return day >= 1 && day <= daysInMonth(month, year);
}

}  // namespace kelvaro::platform
