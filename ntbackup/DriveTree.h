#pragma once
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "ntbackup/RunObserver.h"

namespace kelvaro::ntbackup {

// What a drive's archive leaves out: the program's own data (tapes and marks,
// which would otherwise back themselves up) and file systems that hold no files
// (/proc, /sys, /dev, /run …), as tar patterns relative to the drive's folder.
std::vector<std::string> exclusionsUnder(const std::string& driveFolder, const std::vector<std::string>& leaveOut);

// Mount points of virtual file systems, read from a mounts table such as /proc/self/mounts.
std::vector<std::string> virtualMountPoints(const std::string& mountsFile);

// Files (not folders) and bytes under a drive's folder, for the progress shown
// against a total; with `since`, only files changed after it.
Counts countFiles(const std::string& driveFolder, const std::vector<std::string>& leaveOut,
                  std::optional<std::time_t> since);

}  // namespace kelvaro::ntbackup
