#include "ntbackup/TarOutput.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <sstream>

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
std::optional<int> digits(const std::string& s, std::size_t at, std::size_t n) {
    if (at + n > s.size()) return std::nullopt;
    int v = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
        v = v * 10 + (s[i] - '0');
    }
    return v;
}

// "2026-12-09" "15:00:01.123" (or "15:00") in UTC.
std::optional<std::int64_t> utcSeconds(const std::string& date, const std::string& time) {
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

}  // namespace

std::string memberName(const std::string& path) { return path.empty() ? "." : "./" + path; }

std::optional<MemberLine> parseMemberLine(const std::string& line) {
    std::istringstream in(line);
    std::string mode, owner, size, date, time;
    if (!(in >> mode >> owner >> size) || mode.size() < 10) return std::nullopt;
    MemberLine m;
    m.kind = kindOf(mode[0]);
    m.directory = m.kind == MemberKind::Directory;
    // Devices show "major,minor" in place of a size: they hold no data.
    if (size.find(',') == std::string::npos) {
        try {
            m.size = std::stoull(size);
        } catch (...) {
            return std::nullopt;
        }
    }
    if (!(in >> date >> time)) return m;
    if (const auto t = utcSeconds(date, time)) m.mtime = *t;
    in >> std::ws;
    auto at = static_cast<std::size_t>(in.tellg());
    if (in.fail() || at >= line.size() || line[at] != '"') return m;
    const auto name = unquoteC(line, at);
    if (!name) return std::nullopt;
    m.path = relativeName(*name);
    for (const char* arrow : {" -> ", " link to "}) {
        const std::string a = arrow;
        if (line.compare(at, a.size(), a) != 0) continue;
        at += a.size();
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
    std::istringstream in(line);
    std::string mode, owner, size;
    in >> mode >> owner >> size;
    const std::time_t t = static_cast<std::time_t>(m.mtime);
    std::tm tm {};
    localtime_r(&t, &tm);
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", &tm);
    std::string out = mode + " " + owner + " " + size + " " + when + " " + escapeLine(memberName(m.path));
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
