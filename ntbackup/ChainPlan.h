#pragma once
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ntbackup/BackupSet.h"
#include "ntbackup/Marks.h"

namespace kelvaro::ntbackup {

// A tape restores every drive it holds by itself: a run builds on a chain only
// when that chain is whole on its own tape, and a chain is kept short enough to
// restore quickly.
inline constexpr std::size_t kLongestChain = 30;

// What one drive's archive of a new set takes.
struct DrivePlan {
    bool buildsOnChain = false;  // only the changes (since the mark, or today's for Daily)
    std::vector<int> chain;      // the sets of this tape it builds on, oldest first
    std::string note;            // why it takes every file, when there was something to build on or say
};

// Whether an archive on the tape is there as it was written.
using ArchiveCheck = std::function<bool(const BackupSet&, const ArchiveEntry&)>;

// Normal and Copy take every file. Incremental and Differential build on the
// mark's chain, Daily on the chain of the last set holding the drive; each takes
// every file instead when that chain is not whole on this tape, or (without
// /A) when it is too long or its changes outweigh its full set.
DrivePlan planDrive(BackupType type, bool append, char drive, int tape, const std::optional<MarkChain>& mark,
                    const std::vector<BackupSet>& setsOnTape, const ArchiveCheck& whole);

// The earlier sets a new set's archives restore from: a run that replaces the
// tape removes every other one.
std::set<int> setsNeededBy(const BackupSet& set);

// The chain restored for `drive` as of set `upTo` (the last one when not given):
// the sets in restore order. Empty when no set holds the drive.
struct RestoreChain {
    std::vector<BackupSet> sets;
    std::string missing;  // a set the chain needs that is not on the tape
    bool legacy = false;  // written before chains were recorded: guessed from the types
};
RestoreChain restoreChainOf(const std::vector<BackupSet>& setsOnTape, const std::string& drive, std::optional<int> upTo);

}  // namespace kelvaro::ntbackup
