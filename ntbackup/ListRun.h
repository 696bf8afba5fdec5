#pragma once
#include <string>

#include "ntbackup/BackupRun.h"
#include "ntbackup/BackupSet.h"
#include "ntbackup/FileIndex.h"

namespace kelvaro::ntbackup {

// List: the tape's catalog; with a file, one line per set holding a version of
// it; with a folder (or a whole drive), what it held as of the set (the last
// one when /set is not given). `printed` receives the text.
RunResult runList(const Request& request, RunContext& ctx, std::string& printed);

// "Set 3  2026-12-09 19:00:02  Incremental  1,234 bytes  modified 2026-12-09 15:00"
std::string versionLine(const BackupSet& set, const IndexEntry& entry);

}  // namespace kelvaro::ntbackup
