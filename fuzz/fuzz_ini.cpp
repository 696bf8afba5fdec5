// The INI reader on any bytes: it never fails, and what it read is written and
// read back to exactly the same values.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/linux/IniDocument.h"

using kelvaro::linuxp::IniDocument;

namespace {

using Values = std::vector<std::tuple<std::string, std::string, std::string>>;

Values valuesOf(const IniDocument& doc) {
    Values v;
    doc.forEach([&v](const std::string& s, const std::string& k, const std::string& val) { v.emplace_back(s, k, val); });
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const IniDocument read = IniDocument::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string written = read.serialize();
    const IniDocument reread = IniDocument::parse(written);
    if (valuesOf(reread) != valuesOf(read)) {
        std::fprintf(stderr, "values changed through the file:\n%s\n", written.c_str());
        std::abort();
    }
    if (reread.serialize() != written) {
        std::fprintf(stderr, "a second write differs from the first:\n%s\n", written.c_str());
        std::abort();
    }
    return 0;
}
