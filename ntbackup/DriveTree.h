#pragma once
#include <string>
#include <vector>


namespace kelvaro::ntbackup {

// What a drive's archive leaves out: the program's own data (tapes and marks,
// which would otherwise back themselves up) and file systems that hold no files
// (/proc, /sys, /dev, /run …), as tar patterns relative to the drive's folder.
std::vector<std::string> exclusionsUnder(const std::string& driveFolder, const std::vector<std::string>& leaveOut);

// Mount points of virtual file systems, read from a mounts table such as /proc/self/mounts.
std::vector<std::string> virtualMountPoints(const std::string& mountsFile);

}  // namespace kelvaro::ntbackup
