// The Windows command-line splitter on any bytes: it never fails; and a list of
// arguments (the input cut at NUL bytes), quoted the way a Windows program
// quotes its children's arguments and joined, splits back into that list.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/linux/WindowsCommandLine.h"

using kelvaro::linuxp::splitWindowsCommandLine;
using kelvaro::linuxp::windowsCommandTail;

namespace {

// Backslashes double before a quote (and before the closing quote), a quote
// gets one of its own; an argument without blanks or quotes goes bare.
std::string quoted(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string out = "\"";
    for (std::size_t i = 0;; ++i) {
        std::size_t backslashes = 0;
        while (i < arg.size() && arg[i] == '\\') {
            ++backslashes;
            ++i;
        }
        if (i == arg.size()) {
            out.append(backslashes * 2, '\\');
            break;
        }
        if (arg[i] == '"') {
            out.append(backslashes * 2 + 1, '\\');
        } else {
            out.append(backslashes, '\\');
        }
        out += arg[i];
    }
    return out + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    splitWindowsCommandLine(text);
    windowsCommandTail(text);

    std::vector<std::string> list = {"NTBackup.exe"};
    std::string line = list[0];
    std::size_t from = 0;
    while (from <= text.size() && !text.empty()) {
        const std::size_t nul = text.find('\0', from);
        list.push_back(text.substr(from, nul == std::string::npos ? std::string::npos : nul - from));
        line += " " + quoted(list.back());
        if (nul == std::string::npos) break;
        from = nul + 1;
    }
    if (splitWindowsCommandLine(line) != list) {
        std::fprintf(stderr, "the joined list did not split back: [%s]\n", line.c_str());
        std::abort();
    }
    return 0;
}
