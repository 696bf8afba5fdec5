#pragma once
#include <atomic>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "ntbackup/ChainView.h"
#include "ntbackup/TarRunner.h"

namespace kelvaro::ntbackup {

// What the Restore window looks at, without a widget: the tapes, a tape's sets,
// the drives of a set, that drive as it stood then (the chain merged), search,
// every version of a file, and what the user ticked.
class RestoreBrowser {
public:
    struct TapeChoice {
        int number;
        std::size_t sets;
    };
    struct Row {
        std::string path;  // "docs/letter one.txt"; "" is the drive itself
        std::string name;  // "letter one.txt"
        Version version;
        bool folder() const { return version.entry.kind == MemberKind::Directory; }
    };
    struct VersionChoice {
        const BackupSet* set;
        IndexEntry entry;
    };

    RestoreBrowser(std::string tapesFolder, TarRunner& tar, const std::atomic<bool>& cancel);

    std::vector<TapeChoice> tapes() const;  // the tapes that hold sets, 0 to 9
    void chooseTape(int tape);
    const std::vector<BackupSet>& sets() const { return sets_; }  // newest first
    int tape() const { return tape_; }

    // The drives the set's chain holds ("c"); the first is chosen.
    std::vector<std::string> drivesOf(int set) const;
    // Loads the drive as of the set. Empty on success, else why it cannot be shown.
    std::string choose(int set, const std::string& drive);
    const BackupSet* set() const;
    const std::string& drive() const { return drive_; }
    const std::string& driveFolder() const { return driveFolder_; }  // as the set recorded it

    // A folder's rows, folders first, then by name.
    const std::vector<std::size_t>& children(const std::string& folder) const;
    const Row& row(std::size_t i) const { return rows_[i]; }
    std::optional<std::size_t> find(const std::string& path) const;
    std::size_t size() const { return rows_.size(); }
    // Rows whose name holds `text`, any case (ASCII), in path order; the first `limit`.
    std::vector<std::size_t> search(const std::string& text, std::size_t limit = 1000) const;
    // Every set on the tape holding a version of the file, oldest first.
    std::vector<VersionChoice> versions(const std::string& path) const;

    // Ticks: a folder's tick takes everything below it, until a row below says otherwise.
    void tick(const std::string& path, bool on);
    bool ticked(const std::string& path) const;
    bool partlyTicked(const std::string& folder) const;  // some row below differs from the folder
    // Restore this version of a file instead of the merged one (0: the merged one).
    void pickVersion(const std::string& path, int set);
    int pickedVersion(const std::string& path) const;
    // What to restore: each ticked row with the version to write.
    std::map<std::string, Version> selection() const;

private:
    std::string tapesFolder_;
    TarRunner& tar_;
    const std::atomic<bool>& cancel_;
    int tape_ = -1;
    std::vector<BackupSet> sets_;
    int set_ = 0;
    std::string drive_, driveFolder_;
    std::vector<Row> rows_;                                   // in no order
    std::unordered_map<std::string, std::size_t> rowOf_;      // path -> row
    std::map<std::string, std::vector<std::size_t>> children_;  // folder path -> rows
    std::map<std::string, bool> ticks_;
    std::map<std::string, int> picked_;
};

}  // namespace kelvaro::ntbackup
