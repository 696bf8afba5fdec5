#include "ntbackup/ChainView.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace kelvaro::ntbackup {

bool isUnder(const std::string& path, const std::string& prefix) {
    if (prefix.empty()) return true;
    return path.starts_with(prefix) && (path.size() == prefix.size() || path[prefix.size()] == '/');
}

ChainRows chainRows(const std::vector<BackupSet>& chain, const std::string& drive, const std::string& prefix,
                    const ArchiveEntries& archives) {
    ChainRows out;
    std::size_t whole = 0;  // the last archive that tells the whole drive
    for (std::size_t i = 0; i < chain.size(); ++i)
        if (ArchiveEntries::tellsWholeDrive(chain[i], *chain[i].archiveOf(drive))) whole = i;

    // Newest set first, so that each path's version is built once, and the
    // whole archive's names size the table before the older sets fill it.
    std::unordered_map<std::string, Version> newest;
    std::vector<std::string> present;
    for (std::size_t i = chain.size(); i-- > 0 && out.error.empty();) {
        const BackupSet& set = chain[i];
        if (i + 1 == whole) newest.reserve(present.size() + present.size() / 4);
        out.error = archives.read(set, *set.archiveOf(drive), i != whole, [&](const IndexEntry& e) {
            if (!isUnder(e.path, prefix)) return true;
            if (i >= whole) present.push_back(e.path);
            if (!e.unchanged) newest.try_emplace(e.path, set.number, e);  // built only when new
            return true;
        });
    }
    if (!out.error.empty()) return out;
    out.entries.reserve(present.size());
    for (auto& p : present) {
        const auto it = newest.find(p);
        if (it == newest.end() || it->second.set < 0) continue;  // no data in the chain, or taken already
        out.entries.emplace_back(std::move(p), std::move(it->second));
        it->second.set = -1;
    }
    return out;
}

ChainState chainState(const std::vector<BackupSet>& chain, const std::string& drive, const std::string& prefix,
                      const ArchiveEntries& archives) {
    ChainRows rows = chainRows(chain, drive, prefix, archives);
    ChainState out;
    out.error = std::move(rows.error);
    std::sort(rows.entries.begin(), rows.entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [path, v] : rows.entries) out.entries.emplace_hint(out.entries.end(), std::move(path), std::move(v));
    return out;
}

}  // namespace kelvaro::ntbackup
