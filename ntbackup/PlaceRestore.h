#pragma once
#include <ctime>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ntbackup/ChainView.h"

namespace kelvaro::ntbackup {

// What to do with a file the restore would write where a file already is.
enum class ClashAnswer { KeepNewer, Replace, KeepBoth };

// "docs/letter.txt" -> "docs/letter (restored 2026-12-10).txt"
std::string keptBothName(const std::string& path, std::time_t today);

// The rows of `wanted` whose place below `target` is taken already (a folder
// over a folder is no clash), in path order.
std::vector<std::string> clashesOf(const std::map<std::string, Version>& wanted, const std::string& target);

struct PlaceCounts {
    std::size_t restored = 0;
    std::size_t kept = 0;  // left as they were: newer than the backup, or a folder in the way
};

// Moves what a restore extracted into `staging` (a folder on the target's file
// system) into place below `target`. Each file lands by a rename, so a file in
// the target is always either as it was or as restored, never half-written;
// across file systems it is copied beside its place first. Folders get their
// times last. `failed` hears what could not be placed.
PlaceCounts placeFiles(const std::map<std::string, Version>& wanted, const std::string& staging,
                       const std::string& target, std::optional<ClashAnswer> answer, std::time_t today,
                       const std::function<bool()>& cancelled, const std::function<void(const std::string&)>& failed);

// The same for a whole drive restored into `staging`: everything in it goes to
// its place below `target`, replacing what is there (/overwrite).
void placeTree(const std::string& staging, const std::string& target,
               const std::function<void(const std::string&)>& failed);

// "12 files restored, 2 kept as they were"
std::string summaryText(const PlaceCounts& counts);

}  // namespace kelvaro::ntbackup
