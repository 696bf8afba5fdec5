#pragma once
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ntbackup/Archiver.h"
#include "ntbackup/ChainPlan.h"
#include "ntbackup/Marks.h"
#include "ntbackup/Request.h"
#include "platform/linux/DriveMap.h"

namespace kelvaro::ntbackup {

// One folder to archive: a drive, or the machine's configuration.
struct Source {
    std::string name;    // "c", or "registry"
    std::string label;   // "drive c: [/home/alice]", "the local registry (/etc)"
    std::string folder;
    DrivePlan plan;      // how much of a drive it takes; the registry always all
    bool isDrive() const { return name.size() == 1; }
};

// The selected drives that exist, then the registry when /B asks for it. A
// drive that does not exist is told to `missing` and left out.
std::vector<Source> collectSources(const Request& request, const linuxp::DriveMap& drives,
                                   const std::string& registryFolder,
                                   const std::function<void(const std::string&)>& missing);

// Where a run keeps each drive's snapshots until they become its mark.
struct Snapshots {
    std::string folder;
    std::string archive(const Source& s) const { return folder + "/" + s.name + ".snar"; }  // the archive tar's
    std::string listing(const Source& s) const { return archive(s) + ".list"; }             // the listing tar's
};

// What tar selects for one source: a Daily's date, the mark's snapshot (each tar
// gets its own copy, as both write to it), the exclusions. Empty on success.
std::string archiveWorkFor(const Source& s, const Request& request, const std::optional<std::string>& mark,
                           const Snapshots& snapshots, std::time_t start, const std::string& archiveFile,
                           const std::vector<std::string>& leaveOut, ArchiveWork& work);

}  // namespace kelvaro::ntbackup
