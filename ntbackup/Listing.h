#pragma once
#include <cstdint>
#include <vector>

#include "ntbackup/RunObserver.h"
#include "ntbackup/TarOutput.h"

namespace kelvaro::ntbackup {

// The members of an archive in the order tar writes them, with where each ends
// in the archive stream (a 512-byte header, then the data padded to 512 bytes),
// so that a position in the stream tells how many files are done.
class Listing {
public:
    void add(const MemberLine& member);
    std::uint64_t files() const { return files_; }
    std::uint64_t bytes() const { return bytes_; }
    // Files and their bytes wholly written once the stream has reached `position`.
    Counts doneAt(std::uint64_t position) const;

private:
    struct End {
        std::uint64_t stream, files, bytes;
    };
    std::vector<End> ends_;  // one per member, stream positions ascending
    std::uint64_t stream_ = 0, files_ = 0, bytes_ = 0;
};

}  // namespace kelvaro::ntbackup
