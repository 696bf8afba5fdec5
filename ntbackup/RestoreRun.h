#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ntbackup/BackupRun.h"
#include "ntbackup/BackupSet.h"
#include "ntbackup/ChainView.h"
#include "ntbackup/PlaceRestore.h"

namespace kelvaro::ntbackup {

// The sets that rebuild a drive as it stood at the last of `sets` (oldest first,
// all holding the drive), for sets written before each archive recorded its
// chain: the last Normal, every Incremental after it, then the last
// Differential after those. A Copy stands alone; a Daily goes on top of the
// chain before it.
std::vector<BackupSet> restoreChain(const std::vector<BackupSet>& sets);

// Restore: the drive's chain from the tape into an empty folder (or any folder
// with /overwrite), files deleted between runs deleted again. With pieces
// (files or folders of the drive), just those, each from the set holding its
// version, at their place below the target.
RunResult runRestore(const Request& request, RunContext& ctx);

// What the Restore window restores: each row in the version chosen, below
// `target` (the drive's folder, or another), clashes answered by `answer`.
struct SelectionRestore {
    int tape = 1;
    char drive = 'c';
    std::map<std::string, Version> wanted;
    std::string target;
    std::optional<ClashAnswer> answer;  // none: any clash refuses the restore
};
RunResult restoreSelection(const SelectionRestore& what, RunContext& ctx);

}  // namespace kelvaro::ntbackup
