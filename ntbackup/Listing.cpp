#include "ntbackup/Listing.h"

#include <algorithm>

namespace kelvaro::ntbackup {

void Listing::add(const MemberLine& m) {
    stream_ += 512 + (m.size + 511) / 512 * 512;
    if (!m.directory) {
        ++files_;
        bytes_ += m.size;
    }
    ends_.push_back({stream_, files_, bytes_});
}

Counts Listing::doneAt(std::uint64_t position) const {
    const auto past = std::upper_bound(ends_.begin(), ends_.end(), position,
                                       [](std::uint64_t p, const End& e) { return p < e.stream; });
    if (past == ends_.begin()) return {};
    return {std::prev(past)->files, std::prev(past)->bytes};
}

}  // namespace kelvaro::ntbackup
