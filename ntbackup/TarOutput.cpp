#include "ntbackup/TarOutput.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <string_view>

#include "ntbackup/Text.h"

namespace kelvaro::ntbackup {

namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

// Digits at `at` of `s`, exactly `n` of them.
std::optional<int> digits(std::string_view s, std::size_t at, std::size_t n) {
    if (at + n > s.size()) return std::nullopt;
    int v = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
        v = v * 10 + (s[i] - '0');
    }
    return v;
}

// "2026-12-09" "15:00:01.123" (or "15:00") in UTC.
std::optional<std::int64_t> utcSeconds(std::string_view date, std::string_view time) {
    const auto y = digits(date, 0, 4), mo = digits(date, 5, 2), d = digits(date, 8, 2);
    const auto h = digits(time, 0, 2), mi = digits(time, 3, 2);
    const auto sec = time.size() >= 8 ? digits(time, 6, 2) : std::optional<int>(0);
    if (date.size() != 10 || date[4] != '-' || date[7] != '-' || time.size() < 5 || time[2] != ':') return std::nullopt;
    if (!y || !mo || !d || !h || !mi || !sec || *mo < 1 || *mo > 12 || *d < 1 || *d > 31) return std::nullopt;
    return daysFromCivil(*y, static_cast<unsigned>(*mo), static_cast<unsigned>(*d)) * 86400 + *h * 3600 + *mi * 60 + *sec;
}

// A C string as --quoting-style=c writes it, from the opening quote at `at`;
// `at` ends past the closing quote.
std::optional<std::string> unquoteC(const std::string& s, std::size_t& at, bool quoted = true) {
    if (quoted && (at >= s.size() || s[at] != '"')) return std::nullopt;
    std::string out;
    for (at += quoted ? 1 : 0; at < s.size(); ++at) {
        char c = s[at];
        if (c == '"' && quoted) {
            ++at;
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++at >= s.size()) return std::nullopt;
        c = s[at];
        if (c >= '0' && c <= '7') {
            int v = 0;
            for (int n = 0; n < 3 && at < s.size() && s[at] >= '0' && s[at] <= '7'; ++n, ++at) v = v * 8 + (s[at] - '0');
            --at;
            out += static_cast<char>(v);
            continue;
        }
        switch (c) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'a': out += '\a'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'v': out += '\v'; break;
        default: out += c;  // \\ \" \?
        }
    }
    if (!quoted) return out;
    return std::nullopt;
}

std::string relativeName(std::string name) {
    if (name.starts_with("./")) name.erase(0, 2);
    else if (name == ".") name.clear();
    while (!name.empty() && name.back() == '/') name.pop_back();
    return name;
}

MemberKind kindOf(char mode) {
    switch (mode) {
    case '-': return MemberKind::File;
    case 'd': return MemberKind::Directory;
    case 'l': return MemberKind::Symlink;
    case 'h': return MemberKind::HardLink;
    case 'p': return MemberKind::Fifo;
    case 'c': return MemberKind::CharDevice;
    case 'b': return MemberKind::BlockDevice;
    default: return MemberKind::Other;
    }
}

// Words separated by blanks, as `std::istream >> std::string` reads them.
class Words {
public:
    explicit Words(std::string_view line) : line_(line) {}
    // The next word, or nothing at the end of the line.
    std::optional<std::string_view> next() {
        skipBlanks();
        if (at_ == line_.size()) return std::nullopt;
        const std::size_t from = at_;
        while (at_ < line_.size() && !blank(line_[at_])) ++at_;
        return line_.substr(from, at_ - from);
    }
    // Where the next word starts, past the blanks.
    std::size_t skipBlanks() {
        while (at_ < line_.size() && blank(line_[at_])) ++at_;
        return at_;
    }

private:
    static bool blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    std::string_view line_;
    std::size_t at_ = 0;
};

// A size as std::stoull reads it; digits alone, the common case, without a string.
std::optional<std::uint64_t> sizeOf(std::string_view word) {
    if (!word.empty() && word.size() <= 19 && word.find_first_not_of("0123456789") == std::string_view::npos) {
        std::uint64_t v = 0;
        for (char c : word) v = v * 10 + static_cast<std::uint64_t>(c - '0');
        return v;
    }
    try {
        return std::stoull(std::string(word));
    } catch (...) {
        return std::nullopt;
    }
}

// "2026-12-09 15:00" in local time, as the log shows it.
std::string localMinute(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm {};
    localtime_r(&t, &tm);
    char when[32];
    return std::string(when, std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", &tm));
}

}  // namespace

std::string memberName(const std::string& path) { return path.empty() ? "." : "./" + path; }

std::optional<MemberLine> parseMemberLine(const std::string& line) {
    Words words(line);
    const auto mode = words.next();
    words.next();  // the owner
    const auto size = words.next();
    if (!size || mode->size() < 10) return std::nullopt;
    MemberLine m;
    m.kind = kindOf((*mode)[0]);
    m.directory = m.kind == MemberKind::Directory;
    // Devices show "major,minor" in place of a size: they hold no data.
    if (size->find(',') == std::string_view::npos) {
        const auto n = sizeOf(*size);
        if (!n) return std::nullopt;
        m.size = *n;
    }
    const auto date = words.next(), time = words.next();
    if (!time) return m;
    if (const auto t = utcSeconds(*date, *time)) m.mtime = *t;
    auto at = words.skipBlanks();
    if (at >= line.size() || line[at] != '"') return m;
    const auto name = unquoteC(line, at);
    if (!name) return std::nullopt;
    m.path = relativeName(*name);
    for (const std::string_view arrow : {" -> ", " link to "}) {
        if (line.compare(at, arrow.size(), arrow) != 0) continue;
        at += arrow.size();
        const auto target = unquoteC(line, at);
        if (!target) return std::nullopt;
        m.target = m.kind == MemberKind::HardLink ? relativeName(*target) : *target;
    }
    return m;
}

std::optional<std::string> unchangedMemberOf(const std::string& line) {
    static const std::string tail = ": file is unchanged; not dumped";
    if (!line.starts_with("tar: \"") || !line.ends_with(tail)) return std::nullopt;
    std::size_t at = 5;
    const auto name = unquoteC(line, at);
    if (!name || at != line.size() - tail.size()) return std::nullopt;
    return relativeName(*name);
}

std::string unescapeTarName(const std::string& name) {
    std::size_t at = 0;
    return unquoteC(name, at, false).value_or(name);
}

std::string logLineOf(const std::string& line, const MemberLine& m) {
    Words words(line);
    const auto mode = words.next().value_or(""), owner = words.next().value_or(""), size = words.next().value_or("");
    std::string out;
    out.reserve(line.size() + 16);
    out.append(mode).append(" ").append(owner).append(" ").append(size).append(" ");
    out.append(localMinute(m.mtime)).append(" ").append(escapeLine(memberName(m.path)));
    if (m.kind == MemberKind::Directory && !m.path.empty()) out += "/";
    if (m.kind == MemberKind::Symlink) out += " -> " + escapeLine(m.target);
    if (m.kind == MemberKind::HardLink) out += " link to " + escapeLine(memberName(m.target));
    return out;
}

namespace {

// Messages tar gives about one file while it carries on with the others.
constexpr std::array<const char*, 14> kFileProblems = {
    ": Cannot open: ", ": Cannot stat: ", ": Cannot savedir: ", ": Cannot readlink: ", ": Read error at byte ",
    ": File removed before we read it", ": file changed as we read it", ": File shrank by ",
    ": Cannot change ownership to ", ": Cannot change mode to ", ": Cannot utime: ", ": Cannot mkdir: ",
    ": Cannot create symlink to ", ": Cannot open directory: "};

// Said by the verbose listing or as a summary: no news.
constexpr std::array<const char*, 6> kInfo = {": Directory is new", ": Directory has been renamed",
                                              "Exiting with failure status due to previous errors",
                                              ": socket ignored", ": Treating date ", ": file is unchanged; not dumped"};

}  // namespace

TarNote classifyTarError(const std::string& line, const std::string& archive) {
    TarNote note;
    note.text = line.starts_with("tar: ") ? line.substr(5) : line;
    for (const char* info : kInfo)
        if (note.text.find(info) != std::string::npos) return note;
    if (!archive.empty() && note.text.starts_with(archive + ":")) {
        note.kind = TarNoteKind::Fatal;
        return note;
    }
    for (const char* problem : kFileProblems) {
        if (note.text.find(problem) != std::string::npos) {
            note.kind = TarNoteKind::Exception;
            return note;
        }
    }
    note.kind = TarNoteKind::Fatal;
    return note;
}

}  // namespace kelvaro::ntbackup
