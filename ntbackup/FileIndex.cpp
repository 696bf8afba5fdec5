#include "ntbackup/FileIndex.h"

#include <charconv>
#include <cstdio>
#include <string_view>
#include <vector>

#include "ntbackup/Text.h"

namespace kelvaro::ntbackup {

namespace {

constexpr const char* kHeader = "Kelvaro file index 1";
constexpr const char* kUnchanged = "=unchanged";

std::size_t sharedPrefix(const std::string& a, const std::string& b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
    return n;
}

bool knownKind(char c) {
    for (char k : {'f', 'd', 'l', 'h', 'p', 'c', 'b', 'o'})
        if (c == k) return true;
    return false;
}

template <typename T>
bool number(std::string_view s, T& out) {
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size() && !s.empty();
}

// Splits at tabs; an escaped tab is "\t" and never a separator.
std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t from = 0;
    for (std::size_t tab; (tab = line.find('\t', from)) != std::string_view::npos; from = tab + 1)
        out.push_back(line.substr(from, tab - from));
    out.push_back(line.substr(from));
    return out;
}

}  // namespace

std::string indexFileFor(const std::string& archiveFile) {
    return archiveFile.substr(0, archiveFile.find('.')) + ".idx";
}

std::string IndexWriter::open(const std::string& file) {
    file_ = file;
    out_.open(file, std::ios::binary | std::ios::trunc);
    names_.open(file + ".names", std::ios::binary | std::ios::trunc);
    if (!out_ || !names_) return "cannot write " + file;
    out_ << kHeader << "\n";
    return {};
}

void IndexWriter::member(const MemberLine& m) {
    if (!out_.is_open()) return;
    const std::size_t shared = sharedPrefix(previous_, m.path);
    out_ << shared << '\t' << static_cast<char>(m.kind) << '\t' << m.size << '\t' << m.mtime << '\t'
         << escapeLine(m.path.substr(shared));
    if (!m.target.empty()) out_ << '\t' << escapeLine(m.target);
    out_ << '\n';
    previous_ = m.path;
}

void IndexWriter::unchanged(const std::string& path) {
    if (names_.is_open()) names_ << escapeLine(path) << '\n';
}

std::string IndexWriter::close() {
    if (!out_.is_open()) return {};
    names_.close();
    std::ifstream names(file_ + ".names", std::ios::binary);
    bool first = true;
    for (std::string line; std::getline(names, line);) {
        if (first) out_ << kUnchanged << '\n';
        first = false;
        const std::string path = unescapeLine(line);
        const std::size_t shared = sharedPrefix(previous_, path);
        out_ << shared << '\t' << escapeLine(path.substr(shared)) << '\n';
        previous_ = path;
    }
    out_.flush();
    const bool ok = static_cast<bool>(out_) && !names.bad();
    out_.close();
    names.close();
    std::remove((file_ + ".names").c_str());
    return ok ? "" : "the index could not be written whole";
}

std::string readIndex(std::istream& in, const std::function<bool(const IndexEntry&)>& each, bool membersOnly) {
    std::string line;
    if (!std::getline(in, line) || line != kHeader) return "line 1: not a file index";
    IndexEntry e;
    std::string previous;
    bool unchangedPart = false;
    for (std::size_t number_ = 2; std::getline(in, line); ++number_) {
        const auto where = "line " + std::to_string(number_) + ": ";
        if (line == kUnchanged && !unchangedPart) {
            if (membersOnly) return {};
            unchangedPart = true;
            continue;
        }
        const auto f = fields(line);
        std::size_t shared = 0;
        if (!number(f[0], shared) || shared > previous.size()) return where + "bad shared length";
        e = IndexEntry{};
        std::string_view rest;
        if (unchangedPart) {
            if (f.size() != 2) return where + "a name needs two fields";
            e.unchanged = true;
            rest = f[1];
        } else {
            if (f.size() != 5 && f.size() != 6) return where + "a member needs five or six fields";
            if (f[1].size() != 1 || !knownKind(f[1][0])) return where + "unknown kind";
            e.kind = static_cast<MemberKind>(f[1][0]);
            if (!number(f[2], e.size) || !number(f[3], e.mtime)) return where + "bad size or time";
            rest = f[4];
            if (f.size() == 6) e.target = unescapeLine(std::string(f[5]));
        }
        e.path = previous.substr(0, shared) + unescapeLine(std::string(rest));
        previous = e.path;
        if (!each(e)) return {};
    }
    if (in.bad()) return "the index cannot be read";
    return {};
}

std::string readIndexFile(const std::string& file, const std::function<bool(const IndexEntry&)>& each,
                          bool membersOnly) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return "it cannot be opened";
    return readIndex(in, each, membersOnly);
}

}  // namespace kelvaro::ntbackup
