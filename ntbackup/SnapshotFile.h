#pragma once
#include <functional>
#include <string>

namespace kelvaro::ntbackup {

// Reads a tar snapshot (--listed-incremental, format 2) for the names a drive
// held but the run did not take again: the "N" entries of each folder's
// contents. The file index keeps them, so that the tape alone knows what
// existed at each run. Paths come relative to the drive ("docs/a").
// Empty on success, else what is wrong.
std::string unchangedNames(const std::string& snapshotFile, const std::function<void(const std::string&)>& each);

}  // namespace kelvaro::ntbackup
