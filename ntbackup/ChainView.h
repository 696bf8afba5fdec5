#pragma once
#include <map>
#include <string>
#include <vector>

#include "ntbackup/ArchiveEntries.h"

namespace kelvaro::ntbackup {

// A file as the drive held it at the end of a chain: its newest entry and the
// set whose archive holds that data.
struct Version {
    int set = 0;
    IndexEntry entry;
};

// The drive as it stood at the last set of `chain` (restore order), under
// `prefix` ("docs", or "" for all), merged from the archives' entries: a name
// missing from an archive that tells the whole drive was deleted by then.
// Only that last whole archive is read with its unchanged names; the others
// give their members only.
struct ChainState {
    std::map<std::string, Version> entries;
    std::string error;
};
ChainState chainState(const std::vector<BackupSet>& chain, const std::string& drive, const std::string& prefix,
                      const ArchiveEntries& archives);

// The same in no order: a window that sorts each folder as it opens it needs no
// sort of every path (a third of the time on a big drive).
struct ChainRows {
    std::vector<std::pair<std::string, Version>> entries;
    std::string error;
};
ChainRows chainRows(const std::vector<BackupSet>& chain, const std::string& drive, const std::string& prefix,
                    const ArchiveEntries& archives);

// `path` is `prefix` or lies below it.
bool isUnder(const std::string& path, const std::string& prefix);

}  // namespace kelvaro::ntbackup
