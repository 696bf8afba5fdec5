#include "ntbackup/BackupSet.h"

#include <sstream>

#include "ntbackup/Text.h"

namespace kelvaro::ntbackup {

std::uint64_t BackupSet::files() const {
    std::uint64_t n = 0;
    for (const auto& a : archives) n += a.files;
    return n;
}

std::uint64_t BackupSet::bytes() const {
    std::uint64_t n = 0;
    for (const auto& a : archives) n += a.bytes;
    return n;
}

const ArchiveEntry* BackupSet::archiveOf(const std::string& drive) const {
    for (const auto& a : archives)
        if (a.drive == drive) return &a;
    return nullptr;
}

std::string BackupSet::result() const {
    if (exceptions == 0) return "done";
    return "done with " + std::to_string(exceptions) + (exceptions == 1 ? " exception" : " exceptions");
}

std::string formatSetFile(const BackupSet& s) {
    std::ostringstream out;
    out << "Set: " << s.number << "\n"
        << "Date: " << s.date << "\n"
        << "Type: " << typeName(s.type) << "\n"
        << "Description: " << escapeLine(s.description) << "\n"
        << "Exceptions: " << s.exceptions << "\n"
        << "Verified: " << (s.verified ? "yes" : "no") << "\n";
    // The folder comes last on its line: it may hold blanks.
    for (const auto& a : s.archives)
        out << "Archive: " << a.drive << " " << a.file << " " << (a.listed ? "listed" : "plain") << " " << a.files
            << " " << a.bytes << " " << escapeLine(a.folder) << "\n";
    for (const auto& a : s.archives) {
        if (!a.chainKnown) continue;
        out << "Chain: " << a.drive << " " << a.archiveSize << " " << (a.indexed ? "indexed" : "plain");
        for (int k : a.chain) out << " " << k;
        out << "\n";
    }
    for (const auto& n : s.notes) out << "Note: " << escapeLine(n) << "\n";
    return out.str();
}

std::optional<BackupSet> parseSetFile(const std::string& text) {
    BackupSet s;
    bool haveNumber = false, haveType = false;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const auto colon = line.find(": ");
        if (colon == std::string::npos) continue;
        const std::string key = line.substr(0, colon), value = line.substr(colon + 2);
        try {
            if (key == "Set") s.number = std::stoi(value), haveNumber = true;
            else if (key == "Date") s.date = value;
            else if (key == "Type") {
                const auto t = typeFromName(value);
                if (!t) return std::nullopt;
                s.type = *t;
                haveType = true;
            } else if (key == "Description") s.description = unescapeLine(value);
            else if (key == "Exceptions") s.exceptions = std::stoi(value);
            else if (key == "Verified") s.verified = value == "yes";
            else if (key == "Archive") {
                std::istringstream fields(value);
                ArchiveEntry a;
                std::string kind;
                if (!(fields >> a.drive >> a.file >> kind >> a.files >> a.bytes)) return std::nullopt;
                a.listed = kind == "listed";
                std::string folder;
                std::getline(fields >> std::ws, folder);
                a.folder = unescapeLine(folder);
                s.archives.push_back(a);
            } else if (key == "Chain") {
                std::istringstream fields(value);
                std::string drive, index;
                std::uint64_t size = 0;
                if (!(fields >> drive >> size >> index)) return std::nullopt;
                ArchiveEntry* a = nullptr;
                for (auto& e : s.archives)
                    if (e.drive == drive) a = &e;
                if (!a) return std::nullopt;
                a->chainKnown = true;
                a->archiveSize = size;
                a->indexed = index == "indexed";
                for (int k; fields >> k;) a->chain.push_back(k);
                if (!fields.eof()) return std::nullopt;
            } else if (key == "Note") {
                s.notes.push_back(unescapeLine(value));
            }
        } catch (...) {
            return std::nullopt;
        }
    }
    if (!haveNumber || !haveType) return std::nullopt;
    return s;
}

std::string catalogText(int tape, const std::vector<BackupSet>& sets) {
    std::ostringstream out;
    out << "Tape " << tape << ": " << sets.size() << (sets.size() == 1 ? " backup set" : " backup sets") << "\n";
    for (const auto& s : sets) {
        out << "\nSet " << s.number << "\n"
            << "  Date:        " << s.date << "\n"
            << "  Type:        " << typeName(s.type) << "\n"
            << "  Description: " << escapeLine(s.description) << "\n";
        for (const auto& a : s.archives) {
            const std::string name = a.drive == "registry" ? "/etc (local registry)" : a.drive + ": [" + escapeLine(a.folder) + "]";
            out << "  Drive:       " << name << " -> " << a.file << ", " << groupedNumber(a.files) << " files, "
                << groupedNumber(a.bytes) << " bytes\n";
        }
        for (const auto& n : s.notes) out << "  Note:        " << escapeLine(n) << "\n";
        out << "  Files:       " << groupedNumber(s.files()) << "\n"
            << "  Bytes:       " << groupedNumber(s.bytes()) << "\n"
            << "  Result:      " << s.result() << (s.verified ? ", verified" : "") << "\n";
    }
    return out.str();
}

}  // namespace kelvaro::ntbackup
