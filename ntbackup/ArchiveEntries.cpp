#include "ntbackup/ArchiveEntries.h"

namespace kelvaro::ntbackup {

bool ArchiveEntries::tellsWholeDrive(const BackupSet& set, const ArchiveEntry& a) {
    if (a.chainKnown && a.chain.empty()) return true;
    if (set.type == BackupType::Normal || set.type == BackupType::Copy) return true;
    // A Daily's listing names every file it leaves out too.
    return a.indexed && (a.listed || set.type == BackupType::Daily);
}

std::string ArchiveEntries::read(const BackupSet& set, const ArchiveEntry& a, bool membersOnly,
                                 const std::function<bool(const IndexEntry&)>& each) const {
    const std::string folder = tape_.setFolder(set.number);
    if (a.indexed) {
        const std::string file = indexFileFor(a.file);
        const std::string error = readIndexFile(folder + "/" + file, each, membersOnly);
        if (error.empty()) return {};
        return "the file index of set " + std::to_string(set.number) + " (" + file + ") on tape " +
               std::to_string(tape_.number()) + " is damaged: " + error;
    }
    bool stopped = false;
    std::string error;
    const auto outcome = tar_.run(
        {"--list", "--verbose", "--verbose", kListingFormat[0], kListingFormat[1], kListingFormat[2],
         "--file=" + folder + "/" + a.file, kRecordOption},
        [&](const std::string& line) {
            if (stopped) return;
            const auto m = parseMemberLine(line);
            if (!m) return;
            IndexEntry e{m->path, m->kind, m->size, m->mtime, m->target, false};
            stopped = !each(e);
        },
        [&](const std::string& line) {
            if (error.empty()) error = line;
        },
        cancel_);
    if (!outcome.started) return "tar cannot be started: " + outcome.startError;
    if (outcome.exitStatus >= 2 && !stopped)
        return "set " + std::to_string(set.number) + " cannot be read: " + (error.empty() ? "tar failed" : error);
    return {};
}

}  // namespace kelvaro::ntbackup
