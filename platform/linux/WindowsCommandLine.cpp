#include "platform/linux/WindowsCommandLine.h"

namespace kelvaro::linuxp {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Reads the program name from `pos`; leaves `pos` just after it.
std::string readProgramName(const std::string& s, std::size_t& pos) {
    std::string name;
    bool inQuotes = false;
    for (; pos < s.size(); ++pos) {
        const char c = s[pos];
        if (c == '"') {
            inQuotes = !inQuotes;
        } else if (isBlank(c) && !inQuotes) {
            break;
        } else {
            name += c;
        }
    }
    return name;
}

}  // namespace

std::vector<std::string> splitWindowsCommandLine(const std::string& s) {
    std::vector<std::string> args;
    std::size_t pos = 0;
    while (pos < s.size() && isBlank(s[pos])) ++pos;
    if (pos == s.size()) return args;
    args.push_back(readProgramName(s, pos));

    for (;;) {
        while (pos < s.size() && isBlank(s[pos])) ++pos;
        if (pos == s.size()) break;

        std::string arg;
        bool inQuotes = false;
        while (pos < s.size()) {
            const char c = s[pos];
            if (isBlank(c) && !inQuotes) break;
            if (c == '\\') {
                std::size_t n = 0;
                while (pos < s.size() && s[pos] == '\\') {
                    ++n;
                    ++pos;
                }
                if (pos < s.size() && s[pos] == '"') {
                    arg.append(n / 2, '\\');
                    if (n % 2 == 1) {
                        arg += '"';
                        ++pos;
                    }
                    // An even run leaves the quote to the next round.
                } else {
                    arg.append(n, '\\');
                }
                continue;
            }
            if (c == '"') {
                if (inQuotes && pos + 1 < s.size() && s[pos + 1] == '"') {
                    arg += '"';
                    pos += 2;
                } else {
                    inQuotes = !inQuotes;
                    ++pos;
                }
                continue;
            }
            arg += c;
            ++pos;
        }
        args.push_back(std::move(arg));
    }
    return args;
}

std::string windowsCommandTail(const std::string& s) {
    std::size_t pos = 0;
    while (pos < s.size() && isBlank(s[pos])) ++pos;
    readProgramName(s, pos);
    while (pos < s.size() && isBlank(s[pos])) ++pos;
    return s.substr(pos);
}

}  // namespace kelvaro::linuxp
