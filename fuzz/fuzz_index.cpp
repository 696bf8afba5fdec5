// The file index reader on any bytes: it never crashes, and what it accepts
// comes back the same after writing it again (front coding and escapes
// included). Tar's listing lines go through their parser too.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "ntbackup/FileIndex.h"

using namespace kelvaro::ntbackup;

namespace {

bool same(const IndexEntry& a, const IndexEntry& b) {
    return a.path == b.path && a.kind == b.kind && a.size == b.size && a.mtime == b.mtime && a.target == b.target &&
           a.unchanged == b.unchanged;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) parseMemberLine(line);

    std::vector<IndexEntry> read;
    std::istringstream in(text);
    if (!readIndex(in, [&](const IndexEntry& e) { read.push_back(e); return true; }).empty()) return 0;

    static const std::string file = [] {
        char name[] = "/tmp/kelvaro-fuzz-index-XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0) close(fd);
        return std::string(name);
    }();
    IndexWriter writer;
    if (!writer.open(file).empty()) return 0;
    for (const auto& e : read) {
        if (e.unchanged) {
            // Both ways the names reach the index: held while members may come, or straight in.
            if (size % 2 == 1) writer.membersDone();
            writer.unchanged(e.path);
            continue;
        }
        MemberLine m;
        m.kind = e.kind;
        m.size = e.size;
        m.mtime = e.mtime;
        m.path = e.path;
        m.target = e.target;
        writer.member(m);
    }
    if (!writer.close().empty()) std::abort();
    std::vector<IndexEntry> again;
    if (!readIndexFile(file, [&](const IndexEntry& e) { again.push_back(e); return true; }).empty()) std::abort();
    if (again.size() != read.size()) std::abort();
    for (std::size_t i = 0; i < read.size(); ++i)
        if (!same(read[i], again[i])) std::abort();
    return 0;
}
