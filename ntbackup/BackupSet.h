#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ntbackup/BackupType.h"

namespace kelvaro::ntbackup {

// One archive of a set: a drive's folder as it stood, in a plain tar file.
struct ArchiveEntry {
    std::string drive;   // "c" … "z", or "registry" for the machine's configuration (/B)
    std::string file;    // file name inside the set folder ("c.tar", "c.tar.zst")
    std::string folder;  // the folder it was taken from
    bool listed = true;  // written with a snapshot (--listed-incremental): extracted with one too
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    // Written since tapes restore on their own; sets from before have none of these.
    bool chainKnown = false;
    std::vector<int> chain;          // the sets of this tape that restore before this one, oldest first
    std::uint64_t archiveSize = 0;   // of the archive file: a shorter one is damaged
    bool indexed = false;            // a file index (FileIndex.h) stands beside the archive
};

// What the tape's catalog says about one run.
struct BackupSet {
    int number = 0;
    std::string date;  // "2026-12-09 18:00:02", local time
    BackupType type = BackupType::Normal;
    std::string description;
    std::vector<ArchiveEntry> archives;
    int exceptions = 0;
    bool verified = false;  // /V read every archive back
    std::vector<std::string> notes;  // why a drive's run took every file, and the like

    std::uint64_t files() const;
    std::uint64_t bytes() const;
    const ArchiveEntry* archiveOf(const std::string& drive) const;
    std::string result() const;  // "done" or "done with 3 exceptions"
};

// The set's own description file ("set.txt"): "Key: value" lines, readable as they stand.
std::string formatSetFile(const BackupSet& set);
std::optional<BackupSet> parseSetFile(const std::string& text);

// The tape's catalog as people read it: every set with its date, type,
// description, drives and their folders, files, bytes and result.
std::string catalogText(int tape, const std::vector<BackupSet>& sets);

}  // namespace kelvaro::ntbackup
