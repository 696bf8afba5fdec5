#include "ntbackup/ChainView.h"

#include <set>

namespace kelvaro::ntbackup {

bool isUnder(const std::string& path, const std::string& prefix) {
    if (prefix.empty()) return true;
    return path.starts_with(prefix) && (path.size() == prefix.size() || path[prefix.size()] == '/');
}

ChainState chainState(const std::vector<BackupSet>& chain, const std::string& drive, const std::string& prefix,
                      const ArchiveEntries& archives) {
    ChainState out;
    std::size_t whole = 0;  // the last archive that tells the whole drive
    for (std::size_t i = 0; i < chain.size(); ++i)
        if (ArchiveEntries::tellsWholeDrive(chain[i], *chain[i].archiveOf(drive))) whole = i;

    std::map<std::string, Version> newest;
    std::set<std::string> present;
    for (std::size_t i = 0; i < chain.size() && out.error.empty(); ++i) {
        const BackupSet& set = chain[i];
        out.error = archives.read(set, *set.archiveOf(drive), i != whole, [&](const IndexEntry& e) {
            if (!isUnder(e.path, prefix)) return true;
            if (i == whole) present.insert(e.path);
            if (!e.unchanged) newest[e.path] = {set.number, e};
            if (i > whole) present.insert(e.path);
            return true;
        });
    }
    if (!out.error.empty()) return out;
    for (const auto& p : present)
        if (auto it = newest.find(p); it != newest.end()) out.entries.emplace(p, it->second);
    return out;
}

}  // namespace kelvaro::ntbackup
