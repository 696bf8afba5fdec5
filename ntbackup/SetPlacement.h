#pragma once
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "ntbackup/BackupScope.h"
#include "ntbackup/Marks.h"
#include "ntbackup/Tape.h"
#include "ntbackup/TapeLock.h"

namespace kelvaro::ntbackup {

// Where a run's set goes: the tape's staging folder while it is written (the
// tape held by its lock), then a set of its own; then the marks move, the sets
// it does not need go (without /A) and the catalog is written again. A run
// that does not finish leaves no trace of its set.
class SetPlacement {
public:
    using Tell = std::function<void(const std::string&)>;
    SetPlacement(const Tape& tape, const Marks& marks, Snapshots snapshots)
        : tape_(tape), marks_(marks), snapshots_(std::move(snapshots)) {}

    const Snapshots& snapshots() const { return snapshots_; }
    std::string staging() const { return tape_.staging(); }

    // The tape made and locked, the staging folder and the snapshots' folder
    // empty. Empty on success, else why not.
    std::string open(TapeLock& lock, const Tell& waiting, const std::atomic<bool>& cancel);
    // /R: the set readable by its owner only.
    void restrict() const;
    std::string commit(const BackupSet& set) const;
    // After the commit. `replace` is false with /A, and when verify found differences.
    void settle(const BackupSet& set, BackupType type, bool replace, const std::vector<Source>& sources,
                const std::vector<char>& unmarked, const Tell& phase, const Tell& problem) const;
    // What a failed or cancelled run wrote goes.
    void discard() const;

private:
    const Tape& tape_;
    const Marks& marks_;
    Snapshots snapshots_;
};

}  // namespace kelvaro::ntbackup
