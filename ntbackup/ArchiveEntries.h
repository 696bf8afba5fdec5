#pragma once
#include <atomic>
#include <functional>
#include <string>

#include "ntbackup/BackupSet.h"
#include "ntbackup/FileIndex.h"
#include "ntbackup/Tape.h"
#include "ntbackup/TarRunner.h"

namespace kelvaro::ntbackup {

// The entries of one archive on a tape: from its file index, or for a set
// written before indexes (or whose index was left out) from `tar --list`.
// Empty on success; a damaged index is an error that names the set, never a
// guess.
class ArchiveEntries {
public:
    ArchiveEntries(const Tape& tape, TarRunner& tar, const std::atomic<bool>& cancel)
        : tape_(tape), tar_(tar), cancel_(cancel) {}

    std::string read(const BackupSet& set, const ArchiveEntry& archive, bool membersOnly,
                     const std::function<bool(const IndexEntry&)>& each) const;

    // Whether the archive's names tell the whole drive as it stood (a full
    // archive, or an indexed one that lists what it did not take again), so
    // that a name missing from it was deleted.
    static bool tellsWholeDrive(const BackupSet& set, const ArchiveEntry& archive);

private:
    const Tape& tape_;
    TarRunner& tar_;
    const std::atomic<bool>& cancel_;
};

}  // namespace kelvaro::ntbackup
