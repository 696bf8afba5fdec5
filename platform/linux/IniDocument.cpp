#include "platform/linux/IniDocument.h"

namespace kelvaro::linuxp {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// True when the text reads back unchanged without quotes.
bool isPlain(std::string_view s) {
    if (!s.empty() && (isBlank(s.front()) || isBlank(s.back()))) return false;
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || c == '"' || c == ';' || c == '#') return false;
    }
    return true;
}

std::string quote(std::string_view s) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(s.size() + 2);
    out += '"';
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (ch) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                out += "\\x";
                out += hex[c >> 4];
                out += hex[c & 0xF];
            } else {
                out += ch;
            }
        }
    }
    out += '"';
    return out;
}

std::string encodeName(std::string_view name, bool isKey) {
    bool bare = isPlain(name);
    if (isKey && (name.find('=') != std::string_view::npos || (!name.empty() && name.front() == '[')))
        bare = false;
    return bare ? std::string(name) : quote(name);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a quoted text starting at line[pos] == '"'. Returns true and leaves pos
// after the closing quote when there is one; false when the line ends first.
bool readQuoted(std::string_view line, std::size_t& pos, std::string& out) {
    out.clear();
    std::size_t i = pos + 1;
    while (i < line.size()) {
        const char c = line[i];
        if (c == '"') {
            pos = i + 1;
            return true;
        }
        if (c != '\\' || i + 1 >= line.size()) {
            out += c;
            ++i;
            continue;
        }
        const char e = line[i + 1];
        i += 2;
        switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'x':
            if (i + 1 < line.size() && hexDigit(line[i]) >= 0 && hexDigit(line[i + 1]) >= 0) {
                out += static_cast<char>(hexDigit(line[i]) * 16 + hexDigit(line[i + 1]));
                i += 2;
            } else {
                out += "\\x";
            }
            break;
        default:  // not an escape this writer makes: keep it as it stands
            out += '\\';
            out += e;
        }
    }
    pos = line.size();
    return false;
}

}  // namespace

std::string IniDocument::encodeValue(std::string_view value) {
    return isPlain(value) ? std::string(value) : quote(value);
}

IniDocument IniDocument::parse(std::string_view text) {
    IniDocument doc;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // UTF-8 byte order mark

    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t current = kNone;  // keys outside a readable section header are dropped
    std::string name, value;
    while (!text.empty()) {
        std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        std::size_t start = 0;
        while (start < line.size() && isBlank(line[start])) ++start;
        line.remove_prefix(start);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;

        if (line.front() == '[') {
            current = kNone;
            if (line.size() > 1 && line[1] == '"') {
                std::size_t pos = 1;
                if (!readQuoted(line, pos, name)) continue;
                const std::string_view rest = trimBlanks(line.substr(pos));
                if (rest.empty() || rest.front() != ']') continue;
            } else {
                const std::size_t close = line.rfind(']');
                if (close == std::string_view::npos) continue;
                name = std::string(trimBlanks(line.substr(1, close - 1)));
            }
            doc.sectionNamed(name);
            current = doc.sectionIndex_.at(name);
            continue;
        }

        std::size_t pos = 0;
        if (line.front() == '"') {
            if (!readQuoted(line, pos, name)) continue;
            while (pos < line.size() && isBlank(line[pos])) ++pos;
            if (pos >= line.size() || line[pos] != '=') continue;
        } else {
            pos = line.find('=');
            if (pos == std::string_view::npos) continue;
            name = std::string(trimBlanks(line.substr(0, pos)));
        }
        ++pos;  // past '='
        while (pos < line.size() && isBlank(line[pos])) ++pos;

        if (pos < line.size() && line[pos] == '"') {
            const std::size_t open = pos;
            if (!readQuoted(line, pos, value)) value = std::string(line.substr(open + 1));
        } else {
            value = std::string(trimBlanks(line.substr(pos)));
        }
        if (current == kNone) continue;
        Section& sec = doc.sections_[current];
        if (sec.index.count(name) == 0) {
            sec.index.emplace(name, sec.entries.size());
            sec.entries.emplace_back(name, value);
        }
    }
    return doc;
}

std::string IniDocument::serialize() const {
    std::string out;
    for (const Section& s : sections_) {
        if (!out.empty()) out += '\n';
        out += '[';
        out += encodeName(s.name, false);
        out += "]\n";
        for (const auto& [key, value] : s.entries) {
            out += encodeName(key, true);
            out += '=';
            out += encodeValue(value);
            out += '\n';
        }
    }
    return out;
}

const std::string* IniDocument::find(const std::string& section, const std::string& key) const {
    const auto s = sectionIndex_.find(section);
    if (s == sectionIndex_.end()) return nullptr;
    const Section& sec = sections_[s->second];
    const auto k = sec.index.find(key);
    return k == sec.index.end() ? nullptr : &sec.entries[k->second].second;
}

void IniDocument::set(const std::string& section, const std::string& key, const std::string& value) {
    Section& sec = sectionNamed(section);
    const auto k = sec.index.find(key);
    if (k != sec.index.end()) {
        sec.entries[k->second].second = value;
        return;
    }
    sec.index.emplace(key, sec.entries.size());
    sec.entries.emplace_back(key, value);
}

IniDocument::Section& IniDocument::sectionNamed(const std::string& name) {
    const auto it = sectionIndex_.find(name);
    if (it != sectionIndex_.end()) return sections_[it->second];
    sectionIndex_.emplace(name, sections_.size());
    sections_.push_back(Section{name, {}, {}});
    return sections_.back();
}

}  // namespace kelvaro::linuxp
