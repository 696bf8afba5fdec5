#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace kelvaro::ntbackup {

// One member line of `tar -vv` ("-rw-r--r-- alice/alice 1234 2026-12-09 15:00 ./a").
struct MemberLine {
    bool directory = false;
    std::uint64_t size = 0;
};
std::optional<MemberLine> parseMemberLine(const std::string& line);

// What a line on tar's standard error means for the run.
enum class TarNoteKind {
    Info,       // nothing wrong ("Exiting with failure status …" sums up what was said before)
    Exception,  // one file could not be taken as it is; the archive holds the rest
    Fatal,      // the archive itself is in doubt when tar ends with status 2; a note otherwise
};
struct TarNote {
    TarNoteKind kind = TarNoteKind::Info;
    std::string text;  // without the leading "tar: "
};
// `archive` is the archive's own path: an error about it is never about one file.
TarNote classifyTarError(const std::string& line, const std::string& archive);

}  // namespace kelvaro::ntbackup
