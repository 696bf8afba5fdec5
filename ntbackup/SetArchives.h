#pragma once
#include <ctime>
#include <string>
#include <vector>

#include "ntbackup/Archiver.h"
#include "ntbackup/BackupRun.h"
#include "ntbackup/BackupScope.h"
#include "ntbackup/BackupSet.h"
#include "ntbackup/Marks.h"

namespace kelvaro::ntbackup {

// What goes into a set: one archive per source in the staging folder, each
// with its file index beside it, written from the listing the run makes anyway.
struct WrittenArchives {
    std::vector<ArchiveEntry> archives;  // in the order of the sources
    std::vector<char> unmarked;          // drives whose listing failed: no new mark
    std::string error;                   // the set cannot be kept ("Cancelled." when it was)
};

struct ArchivesToWrite {
    const Request& request;
    const std::vector<Source>& sources;
    const Marks& marks;
    const Snapshots& snapshots;
    std::string staging;
    std::time_t start = 0;
    const std::vector<std::string>& leaveOut;
};

// `hooks.exception` hears each exception, `hooks.note` what goes into the log's header.
WrittenArchives writeArchives(const ArchivesToWrite& what, RunContext& ctx, const Archiver::Hooks& hooks);

}  // namespace kelvaro::ntbackup
