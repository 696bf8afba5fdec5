#pragma once
#include <set>
#include <string>
#include <vector>

#include "ntbackup/BackupSet.h"

namespace kelvaro::ntbackup {

// A tape is a folder (or a link to one on another disk or a file server) that
// holds one folder per backup set, "set-0001" …, and the catalog. A new set is
// written into ".incomplete" and becomes a set only by a rename once it is whole,
// so a run that stops half-way never leaves half a set behind.
class Tape {
public:
    Tape(std::string folder, int number) : folder_(std::move(folder)), number_(number) {}

    const std::string& folder() const { return folder_; }
    int number() const { return number_; }

    // Creates the folder on first use (a link is followed). Empty on success, else why not.
    std::string prepare() const;

    std::vector<BackupSet> sets() const;  // oldest first; unreadable set files are skipped
    int nextNumber() const;
    std::string setFolder(int number) const;

    // The half-written set of a run that did not finish is removed by the next one.
    std::string staging() const { return folder_ + "/.incomplete"; }
    std::string clearStaging() const;

    // Writes the set's file into the staging folder and turns it into set `set.number`.
    std::string commit(const BackupSet& set) const;
    // Removes every set older than `number` but those in `keep` (a run without
    // /A replaces the tape, keeping only what its own restore needs).
    std::string removeSetsBefore(int number, const std::set<int>& keep = {}) const;
    // The archive file is there at the size it was written with.
    bool archiveWhole(const BackupSet& set, const ArchiveEntry& archive) const;
    // Rewrites "catalog.txt" from the sets on the tape.
    std::string writeCatalog() const;

private:
    std::string folder_;
    int number_;
};

// "$XDG_DATA_HOME/Kelvaro Workstation", where tapes and marks live.
std::string dataFolder(const std::string& xdgDataHome, const std::string& home);

}  // namespace kelvaro::ntbackup
