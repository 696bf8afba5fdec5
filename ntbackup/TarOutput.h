#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace kelvaro::ntbackup {

// What a member of an archive is, as the file index records it.
enum class MemberKind : char {
    File = 'f',
    Directory = 'd',
    Symlink = 'l',
    HardLink = 'h',
    Fifo = 'p',
    CharDevice = 'c',
    BlockDevice = 'b',
    Other = 'o',
};

// One member line of `tar -vv --full-time --utc --quoting-style=c`:
//   -rw-r--r-- alice/alice 1234 2026-12-09 15:00:01.5 "./docs/a b"
//   lrwxrwxrwx alice/alice 0 2026-12-09 15:00:01.5 "./l" -> "target"
// The quoted names make every name readable back, blanks, arrows and newlines included.
struct MemberLine {
    bool directory = false;
    std::uint64_t size = 0;
    MemberKind kind = MemberKind::File;
    std::string path;     // relative to the drive, without "./" or a trailing slash; "" for the top
    std::string target;   // a link's target (a hard link's: relative like `path`)
    std::int64_t mtime = 0;  // seconds since 1970, UTC
};
// Lines of a plain `tar -vv` (names unquoted) still give the kind and size.
std::optional<MemberLine> parseMemberLine(const std::string& line);

// The name in tar's "tar: \"./a\": file is unchanged; not dumped", which a
// verbose listing with a date (Daily) says of each file it leaves out.
std::optional<std::string> unchangedMemberOf(const std::string& errorLine);

// A name in tar's messages (backslash escapes, no quotes) as it stands on disk.
std::string unescapeTarName(const std::string& name);

// The member as the log shows it, as plain `tar -vv` would (local time to the
// minute), with the name on one line: "-rw-r--r-- alice/alice 1234 2026-12-09 15:00 ./a".
std::string logLineOf(const std::string& listingLine, const MemberLine& member);

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

// The options that make tar's listing lines readable by parseMemberLine.
inline constexpr const char* kListingFormat[] = {"--full-time", "--utc", "--quoting-style=c"};

// Everything the file system holds about a file, in a POSIX archive that plain
// tar reads. Whole seconds, and no access or change times: then a plain file
// needs no extended header, and the archive stays as small as tar's own.
// Every extended attribute is kept, and with them ACLs (system.posix_acl_*) and
// SELinux labels (security.selinux): --acls and --selinux would only store
// them a second time, at a lookup of each per file that doubles tar's time on
// many small files. Sets written with them restore all the same.
inline constexpr const char* kArchiveMetadata[] = {"--format=posix", "--xattrs", "--xattrs-include=*", "--sparse",
                                                   "--pax-option=delete=atime,delete=ctime,delete=mtime"};
// And all of it back on restore (owners too, when run as root: tar's default then).
inline constexpr const char* kExtractMetadata[] = {"--xattrs", "--xattrs-include=*", "--preserve-permissions"};

// Archives are written and read in records of 64 KiB, not tar's 10 KiB: on many
// small files tar spends as long in its reads and writes of the archive as in
// reading the files (a third of an archive's time over 20 000 files, 8 % over
// 200 000). Plain tar reads them all the same; the last record is padded, so
// an archive ends on a 64 KiB boundary.
inline constexpr std::uint64_t kRecordBlocks = 128;
inline constexpr std::uint64_t kRecordSize = kRecordBlocks * 512;
inline constexpr const char* kRecordOption = "--blocking-factor=128";

// Member names as tar stores them ("./docs/a b"), from index paths.
std::string memberName(const std::string& path);

}  // namespace kelvaro::ntbackup
