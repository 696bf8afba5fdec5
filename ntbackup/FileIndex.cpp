#include "ntbackup/FileIndex.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <string_view>

#include "ntbackup/Text.h"

namespace kelvaro::ntbackup {

namespace {

constexpr const char* kHeader = "Kelvaro file index 1";
constexpr const char* kUnchanged = "=unchanged";

std::size_t sharedPrefix(std::string_view a, std::string_view b) {
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

// The fields of a line, split at tabs (an escaped tab is "\t", never a
// separator): the first kMaxFields of them, and how many there are in all.
constexpr std::size_t kMaxFields = 7;
struct Fields {
    std::array<std::string_view, kMaxFields> at;
    std::size_t count = 0;
};
void split(std::string_view line, Fields& out) {
    out.count = 0;
    std::size_t from = 0;
    for (std::size_t tab; (tab = line.find('\t', from)) != std::string_view::npos; from = tab + 1) {
        if (out.count < kMaxFields) out.at[out.count] = line.substr(from, tab - from);
        ++out.count;
    }
    if (out.count < kMaxFields) out.at[out.count] = line.substr(from);
    ++out.count;
}

// unescapeLine(s) appended to `out`, without a string of its own in between.
void appendUnescaped(std::string& out, std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t slash = s.find('\\', i);
        if (slash == std::string_view::npos || slash + 1 == s.size()) {
            out.append(s.substr(i));
            return;
        }
        out.append(s.substr(i, slash - i));
        const char next = s[slash + 1];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : next;
        i = slash + 2;
    }
}

// escapeLine(s) appended to `out`.
void appendEscaped(std::string& out, std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t special = s.find_first_of("\\\n\r\t", i);
        if (special == std::string_view::npos) {
            out.append(s.substr(i));
            return;
        }
        out.append(s.substr(i, special - i));
        const char c = s[special];
        out += '\\';
        out += c == '\n' ? 'n' : c == '\r' ? 'r' : c == '\t' ? 't' : '\\';
        i = special + 1;
    }
}

template <typename T>
void appendNumber(std::string& out, T n) {
    char text[24];
    out.append(text, std::to_chars(text, text + sizeof text, n).ptr);
}

}  // namespace

std::string indexFileFor(const std::string& archiveFile) {
    return archiveFile.substr(0, archiveFile.find('.')) + ".idx";
}

std::string IndexWriter::open(const std::string& file) {
    file_ = file;
    out_.open(file, std::ios::binary | std::ios::trunc);
    if (!out_) return "cannot write " + file;
    out_ << kHeader << "\n";
    return {};
}

void IndexWriter::member(const MemberLine& m) {
    if (!out_.is_open()) return;
    const std::size_t shared = sharedPrefix(previous_, m.path);
    // The line is made whole first: one write to the stream, not seven.
    thread_local std::string line;
    line.clear();
    appendNumber(line, shared);
    line += '\t';
    line += static_cast<char>(m.kind);
    line += '\t';
    appendNumber(line, m.size);
    line += '\t';
    appendNumber(line, m.mtime);
    line += '\t';
    appendEscaped(line, std::string_view(m.path).substr(shared));
    if (!m.target.empty()) {
        line += '\t';
        appendEscaped(line, m.target);
    }
    line += '\n';
    out_.write(line.data(), static_cast<std::streamsize>(line.size()));
    previous_ = m.path;
}

void IndexWriter::unchanged(const std::string& path) {
    if (!out_.is_open()) return;
    if (membersDone_) {
        unchangedLine(path);
        return;
    }
    if (!names_.is_open()) names_.open(file_ + ".names", std::ios::binary | std::ios::trunc);
    names_ << escapeLine(path) << '\n';
}

void IndexWriter::unchangedLine(std::string_view path) {
    if (!unchangedBegun_) out_ << kUnchanged << '\n';
    unchangedBegun_ = true;
    const std::size_t shared = sharedPrefix(previous_, path);
    thread_local std::string line;
    line.clear();
    appendNumber(line, shared);
    line += '\t';
    appendEscaped(line, path.substr(shared));
    line += '\n';
    out_.write(line.data(), static_cast<std::streamsize>(line.size()));
    previous_.assign(path);
}

void IndexWriter::membersDone() {
    if (membersDone_ || !out_.is_open()) return;
    membersDone_ = true;
    if (!names_.is_open()) return;
    const bool written = static_cast<bool>(names_);
    names_.close();
    std::ifstream names(file_ + ".names", std::ios::binary);
    for (std::string line; std::getline(names, line);) unchangedLine(unescapeLine(line));
    if (!written || names.bad()) out_.setstate(std::ios::badbit);  // the index is then not whole
    names.close();
    std::remove((file_ + ".names").c_str());
}

std::string IndexWriter::close() {
    if (!out_.is_open()) return {};
    membersDone();
    out_.flush();
    const bool ok = static_cast<bool>(out_);
    out_.close();
    return ok ? "" : "the index could not be written whole";
}

std::string readIndex(std::istream& in, const std::function<bool(const IndexEntry&)>& each, bool membersOnly) {
    std::string line;
    if (!std::getline(in, line) || line != kHeader) return "line 1: not a file index";
    IndexEntry e;
    std::string previous;
    Fields f;
    bool unchangedPart = false;
    for (std::size_t number_ = 2; std::getline(in, line); ++number_) {
        const auto where = [&] { return "line " + std::to_string(number_) + ": "; };
        if (line == kUnchanged && !unchangedPart) {
            if (membersOnly) return {};
            unchangedPart = true;
            continue;
        }
        split(line, f);
        std::size_t shared = 0;
        if (!number(f.at[0], shared) || shared > previous.size()) return where() + "bad shared length";
        // The entry's strings keep their room from line to line.
        e.kind = MemberKind::File;
        e.size = 0;
        e.mtime = 0;
        e.target.clear();
        e.unchanged = false;
        std::string_view rest;
        if (unchangedPart) {
            if (f.count != 2) return where() + "a name needs two fields";
            e.unchanged = true;
            rest = f.at[1];
        } else {
            if (f.count != 5 && f.count != 6) return where() + "a member needs five or six fields";
            if (f.at[1].size() != 1 || !knownKind(f.at[1][0])) return where() + "unknown kind";
            e.kind = static_cast<MemberKind>(f.at[1][0]);
            if (!number(f.at[2], e.size) || !number(f.at[3], e.mtime)) return where() + "bad size or time";
            rest = f.at[4];
            if (f.count == 6) appendUnescaped(e.target, f.at[5]);
        }
        e.path.assign(previous, 0, shared);
        appendUnescaped(e.path, rest);
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
