#include "ntbackup/SetPlacement.h"

#include <algorithm>
#include <filesystem>

namespace kelvaro::ntbackup {

namespace fs = std::filesystem;

std::string SetPlacement::open(TapeLock& lock, const Tell& waiting, const std::atomic<bool>& cancel) {
    if (auto e = tape_.prepare(); !e.empty()) return e;
    if (auto e = lock.acquire(tape_.folder(), [&] { waiting(""); }, cancel); !e.empty()) return e;
    if (auto e = tape_.clearStaging(); !e.empty()) return e;
    std::error_code ec;
    fs::remove_all(snapshots_.folder, ec);
    fs::create_directories(snapshots_.folder, ec);
    return ec ? "The folder " + snapshots_.folder + " cannot be made: " + ec.message() : "";
}

void SetPlacement::restrict() const {
    std::error_code ec;
    fs::permissions(tape_.staging(), fs::perms::owner_all, ec);
    for (const auto& e : fs::recursive_directory_iterator(tape_.staging(), ec))
        fs::permissions(e.path(), e.is_directory() ? fs::perms::owner_all : fs::perms::owner_read | fs::perms::owner_write, ec);
}

std::string SetPlacement::commit(const BackupSet& set) const { return tape_.commit(set); }

void SetPlacement::settle(const BackupSet& set, BackupType type, bool replace, const std::vector<Source>& sources,
                          const std::vector<char>& unmarked, const Tell& phase, const Tell& problem) const {
    if (setsMark(type))
        for (const auto& s : sources) {
            if (!s.isDrive() || std::find(unmarked.begin(), unmarked.end(), s.name[0]) != unmarked.end()) continue;
            MarkChain chain{tape_.number(), s.plan.chain};
            chain.sets.push_back(set.number);
            if (auto e = marks_.set(s.name[0], s.folder, snapshots_.archive(s), chain); !e.empty()) problem(e);
        }
    std::error_code ec;
    fs::remove_all(snapshots_.folder, ec);
    if (replace) {
        phase("Replacing the old sets");
        // The sets this one builds on stay: the tape must restore on its own.
        if (auto e = tape_.removeSetsBefore(set.number, setsNeededBy(set)); !e.empty()) problem("Old sets not removed: " + e);
    }
    if (auto e = tape_.writeCatalog(); !e.empty()) problem("The catalog: " + e);
}

void SetPlacement::discard() const {
    std::error_code ec;
    fs::remove_all(tape_.staging(), ec);
    fs::remove_all(snapshots_.folder, ec);
}

}  // namespace kelvaro::ntbackup
