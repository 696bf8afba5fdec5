#pragma once
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kelvaro::linuxp {

// The text of one INI file held in memory: sections of key/value pairs, kept in
// the order they were first seen so that a rewritten file reads like the old one.
//
// Format written:
//   [Section name]
//   Key name=plain value
//   Other key="quoted \"value\" with \\ escapes "
//
// A name or value that would not read back exactly when written bare (blanks at
// either end, quotes, ';', '#', control characters, a key holding '=' or
// beginning with '[') is written double-quoted; inside the quotes \" \\ \n \r \t
// and \xHH stand for the byte they name. Bytes from 0x80 up (UTF-8) are written
// as they are, and so is a backslash in a bare value ("C:\KELVARO.LOG").
//
// Reading is lenient: comment lines (';' or '#'), lines without '=', and keys
// before the first section header are skipped; a quoted value without its
// closing quote is taken raw up to the end of the line; the first occurrence of
// a duplicated key wins; repeated section headers are merged.
class IniDocument {
public:
    static IniDocument parse(std::string_view text);
    std::string serialize() const;

    // The stored value, or nullptr when the section or key is missing.
    const std::string* find(const std::string& section, const std::string& key) const;
    void set(const std::string& section, const std::string& key, const std::string& value);

    // Calls fn(section, key, value) for every value, in file order.
    template <typename Fn>
    void forEach(Fn fn) const {
        for (const Section& s : sections_)
            for (const auto& [key, value] : s.entries) fn(s.name, key, value);
    }

    // How a value is written after the '='.
    static std::string encodeValue(std::string_view value);

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
        std::unordered_map<std::string, std::size_t> index;
    };
    Section& sectionNamed(const std::string& name);

    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_;
};

}  // namespace kelvaro::linuxp
