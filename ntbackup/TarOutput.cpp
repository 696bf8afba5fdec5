#include "ntbackup/TarOutput.h"

#include <array>
#include <sstream>

namespace kelvaro::ntbackup {

std::optional<MemberLine> parseMemberLine(const std::string& line) {
    std::istringstream in(line);
    std::string mode, owner, size;
    if (!(in >> mode >> owner >> size) || mode.size() < 10) return std::nullopt;
    MemberLine m;
    m.directory = mode[0] == 'd';
    // Devices show "major,minor" in place of a size: they hold no data.
    if (size.find(',') == std::string::npos) {
        try {
            m.size = std::stoull(size);
        } catch (...) {
            return std::nullopt;
        }
    }
    return m;
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
