#pragma once
#include <string>
#include <vector>

#include "ntbackup/BackupRun.h"
#include "ntbackup/BackupSet.h"

namespace kelvaro::ntbackup {

// The sets that rebuild a drive as it stood at the last of `sets` (oldest first,
// all holding the drive): the last Normal, every Incremental after it, then the
// last Differential after those. A Copy stands alone; a Daily goes on top of the
// chain before it.
std::vector<BackupSet> restoreChain(const std::vector<BackupSet>& sets);

// Restore: the drive's chain from the tape into an empty folder (or any folder
// with /overwrite), files deleted between runs deleted again.
RunResult runRestore(const Request& request, RunContext& ctx);

// List: the tape's catalog.
RunResult runList(const Request& request, RunContext& ctx, std::string& catalog);

}  // namespace kelvaro::ntbackup
