#pragma once
#include <atomic>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "ntbackup/Request.h"
#include "ntbackup/RunObserver.h"
#include "ntbackup/TapeLock.h"
#include "ntbackup/TarRunner.h"
#include "platform/linux/DriveMap.h"

namespace kelvaro::ntbackup {

// What a run works with, given from outside so that tests can set each part.
struct RunContext {
    TarRunner& tar;
    TarRunner& lister;  // the listings that run beside the archives (see Archiver)
    TapeLock& lock;
    const linuxp::DriveMap& drives;
    std::string dataFolder;                 // "$XDG_DATA_HOME/Kelvaro Workstation"
    std::vector<std::string> virtualMounts; // left out of every archive
    std::string registryFolder = "/etc";    // what /B takes
    std::function<std::time_t()> now;
    const std::atomic<bool>& cancel;
    RunObserver& observer;

    std::string tapesFolder() const { return dataFolder + "/tapes"; }
    std::string marksFolder() const { return dataFolder + "/marks"; }
    std::string tapeFolder(int n) const { return tapesFolder() + "/" + std::to_string(n); }
};

// "2026-12-09 18:00:02" in local time.
std::string localStamp(std::time_t t);

// One Backup run: each drive into its own archive of a new set on the tape, the
// marks moved as the type says, the log written. Nothing of a failed or cancelled
// run stays: no set, no moved mark, no set removed.
RunResult runBackup(const Request& request, RunContext& ctx);

}  // namespace kelvaro::ntbackup
