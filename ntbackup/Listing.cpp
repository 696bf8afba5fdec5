#include "ntbackup/Listing.h"

#include <algorithm>

namespace kelvaro::ntbackup {

void Listing::add(const MemberLine& m) {
    const std::uint64_t end = stream_ + 512 + (m.size + 511) / 512 * 512;
    // The checkpoints from stream_ up to before `end` see the counts without this member.
    const std::uint64_t first = (stream_ + kCheckpoint - 1) / kCheckpoint;
    if (first * kCheckpoint < end && (runs_.empty() || runs_.back().files != files_ || runs_.back().bytes != bytes_))
        runs_.push_back({first, files_, bytes_});
    stream_ = end;
    if (!m.directory) {
        ++files_;
        bytes_ += m.size;
    }
}

Counts Listing::doneAt(std::uint64_t position) const {
    if (position >= stream_) return {files_, bytes_};  // the archive is past all that is listed
    const std::uint64_t checkpoint = position / kCheckpoint;
    const auto past = std::upper_bound(runs_.begin(), runs_.end(), checkpoint,
                                       [](std::uint64_t c, const Run& r) { return c < r.checkpoint; });
    if (past == runs_.begin()) return {};
    return {std::prev(past)->files, std::prev(past)->bytes};
}

void Listing::reached(std::uint64_t position) {
    const std::uint64_t checkpoint = position / kCheckpoint;
    while (runs_.size() >= 2 && runs_[1].checkpoint <= checkpoint) runs_.pop_front();
}

}  // namespace kelvaro::ntbackup
