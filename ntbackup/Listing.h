#pragma once
#include <cstdint>
#include <deque>

#include "ntbackup/RunObserver.h"
#include "ntbackup/TarOutput.h"

namespace kelvaro::ntbackup {

// The members of an archive in the order tar writes them, counted by where each
// ends in the archive stream (a 512-byte header, then the data padded to 512
// bytes), so that a position in the stream tells how many files are done.
//
// The archive tar tells its position only at checkpoints, every kCheckpoint
// bytes; so the counts are kept at those positions alone, one run of equal
// counts at a time, and only for what lies ahead of the archive: a megabyte of
// stream costs at most one entry however many files it holds.
class Listing {
public:
    static constexpr std::uint64_t kCheckpointRecords = 16;  // tar's --checkpoint: every MiB
    static constexpr std::uint64_t kCheckpoint = kCheckpointRecords * kRecordSize;

    void add(const MemberLine& member);
    std::uint64_t files() const { return files_; }
    std::uint64_t bytes() const { return bytes_; }
    // Files and their bytes wholly written once the stream has reached `position`,
    // a checkpoint's (a multiple of kCheckpoint).
    Counts doneAt(std::uint64_t position) const;
    // The archive has reached `position`: nothing before it is asked for again.
    void reached(std::uint64_t position);

private:
    struct Run {
        std::uint64_t checkpoint;  // from this checkpoint on, up to the next run's
        std::uint64_t files, bytes;
    };
    std::deque<Run> runs_;  // checkpoints ascending, all before stream_
    std::uint64_t stream_ = 0, files_ = 0, bytes_ = 0;
};

}  // namespace kelvaro::ntbackup
