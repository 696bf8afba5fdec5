// The Windows <-> Linux path translation on any bytes: it never fails; and a
// path under a drive goes to Linux and back to the same Windows path (in its
// normal form: upper-case letter, backslashes, no "." or ".." or empty parts).
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/linux/DriveMap.h"

using kelvaro::linuxp::DriveMap;

namespace {

// Drives c: and d: on two empty sibling folders; no drive covers another.
const DriveMap& drives() {
    static const DriveMap* map = [] {
        char tmpl[] = "/tmp/kelvaro-fuzz-XXXXXX";
        const std::string root = mkdtemp(tmpl) ? tmpl : "/tmp";
        for (const char* d : {"c", "d", "dosdevices"}) mkdir((root + "/" + d).c_str(), 0700);
        symlink((root + "/c").c_str(), (root + "/dosdevices/c:").c_str());
        symlink((root + "/d").c_str(), (root + "/dosdevices/d:").c_str());
        return new DriveMap(root + "/dosdevices");
    }();
    return *map;
}

std::string normalForm(char letter, const std::string& rest) {
    std::vector<std::string> parts;
    std::string part;
    auto flush = [&] {
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    };
    for (char c : rest) {
        if (c == '\\' || c == '/') flush();
        else part += c;
    }
    flush();
    std::string out{static_cast<char>(letter & ~0x20), ':', '\\'};
    for (std::size_t i = 0; i < parts.size(); ++i) out += (i ? "\\" : "") + parts[i];
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    drives().toPosix(text);
    drives().toWindows(text);
    if (size == 0) return 0;

    // A Windows file name holds no NUL.
    const char letter = "cdCD"[data[0] % 4];
    std::string rest;
    for (std::size_t i = 1; i < size; ++i)
        if (data[i] != 0) rest += static_cast<char>(data[i]);
    const std::string windows = std::string{letter, ':', '\\'} + rest;
    const auto posix = drives().toPosix(windows);
    if (!posix) {
        std::fprintf(stderr, "no Linux path for [%s]\n", windows.c_str());
        std::abort();
    }
    const auto back = drives().toWindows(*posix);
    if (back != normalForm(letter, rest)) {
        std::fprintf(stderr, "[%s] -> [%s] -> [%s], expected [%s]\n", windows.c_str(), posix->c_str(),
                     back ? back->c_str() : "(none)", normalForm(letter, rest).c_str());
        std::abort();
    }
    return 0;
}
