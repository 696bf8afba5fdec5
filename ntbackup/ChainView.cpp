#include "ntbackup/ChainView.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

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

    // Hashed and sorted once at the end: a drive of 200 000 files is read in a fraction of a second.
    std::unordered_map<std::string, Version> newest;
    std::vector<std::string> present;
    for (std::size_t i = 0; i < chain.size() && out.error.empty(); ++i) {
        const BackupSet& set = chain[i];
        out.error = archives.read(set, *set.archiveOf(drive), i != whole, [&](const IndexEntry& e) {
            if (!isUnder(e.path, prefix)) return true;
            if (i >= whole) present.push_back(e.path);
            if (!e.unchanged) newest.insert_or_assign(e.path, Version{set.number, e});
            return true;
        });
    }
    if (!out.error.empty()) return out;
    std::sort(present.begin(), present.end());
    present.erase(std::unique(present.begin(), present.end()), present.end());
    for (const auto& p : present)
        if (auto it = newest.find(p); it != newest.end()) out.entries.emplace_hint(out.entries.end(), p, std::move(it->second));
    return out;
}

}  // namespace kelvaro::ntbackup
