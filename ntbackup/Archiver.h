#pragma once
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ntbackup/Listing.h"
#include "ntbackup/RunObserver.h"
#include "ntbackup/TarRunner.h"

namespace kelvaro::ntbackup {

// One folder to put into one archive of the set.
struct ArchiveWork {
    std::string label;                        // "drive c: [/home/alice]"
    std::string prefix;                       // what exceptions start with: "c"
    std::string folder;
    std::string file;                         // the archive to write
    bool compress = false;
    std::vector<std::string> listSelect;      // what the listing tar selects (its snapshot, a date)
    std::vector<std::string> archiveSelect;   // what the archive tar selects
    std::vector<std::string> exclusions;      // tar patterns
};

struct ArchiveOutcome {
    std::string error;        // the archive cannot be trusted: the run fails
    bool cancelled = false;
    bool listingFailed = false;
    Counts counts;            // what the listing found
};

// Writes the archives of a set one after the other with one tar each, at the
// speed of plain `tar -cf` (a snapshot or a verbose listing would slow it by a
// third or more on many small files); it tells only how far it got, every
// megabyte. Meanwhile a second tar lists what is taken, every folder in turn,
// writing nothing: the log's lines, the totals, and for a Normal run the
// snapshot that becomes the new mark. A folder's listing always starts before
// its archive, so whatever changes after the listing looked is taken again by
// the next run.
class Archiver {
public:
    struct Hooks {
        std::function<void(const std::string&)> phase;
        std::function<void(const std::string&)> file;       // a listing line
        std::function<void(std::size_t, const MemberLine&)> member;  // the same, read: archive k's member
        std::function<void(std::size_t, const std::string&)> unchanged;  // a name archive k leaves out (Daily)
        std::function<void(const std::string&)> exception;
        std::function<void(const std::string&)> note;       // said by tar, harmless as the run ended well
        std::function<void(const Counts& done, const Counts& total, bool totalKnown)> progress;
        // Archive k's listing is over, on the listing's thread: no member or name of
        // it follows, so what is made of them can be finished while the archive runs.
        std::function<void(std::size_t)> listed;
    };
    // `lister` runs the listings: at a lower priority, so that on a busy machine
    // the archive, which the user waits for, goes first.
    Archiver(TarRunner& tar, TarRunner& lister, const std::atomic<bool>& cancel, Hooks hooks);

    std::vector<ArchiveOutcome> run(const std::vector<ArchiveWork>& work);

private:
    void listAll(const std::vector<ArchiveWork>& work);
    ArchiveOutcome archive(std::size_t k, const ArchiveWork& w);
    void report();  // progress from the state below; mutex_ held

    TarRunner& tar_;
    TarRunner& lister_;
    const std::atomic<bool>& cancel_;
    Hooks hooks_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Listing> listings_;
    std::vector<bool> listingFailed_;
    std::size_t listingsStarted_ = 0, listingsDone_ = 0;
    bool abandoned_ = false;          // an archive failed: list no further
    std::size_t current_ = 0;         // the archive being written
    std::uint64_t currentStream_ = 0; // its position in the archive stream
};

}  // namespace kelvaro::ntbackup
