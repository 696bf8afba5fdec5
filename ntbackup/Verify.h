#pragma once
#include <atomic>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "ntbackup/TarRunner.h"

namespace kelvaro::ntbackup {

struct VerifyWork {
    std::string archive;                  // the archive file
    std::string folder;                   // what it was taken from
    std::vector<std::string> exclusions;  // never archived: nothing to compare there either
    std::time_t runStart = 0;             // when the run began
};

// Reads an archive back and compares it with the files (/V); each difference is
// told to `difference` ("./big: Contents differ"). An archive keeps whole
// seconds, so a member with an extended header (a sparse file, extended
// attributes) is told "Mod time differs" by tar when only the fraction of a
// second differs. A file whose time, to the second, is no later than the
// run's start was archived with the seconds it still has: for it, that is no
// difference (a change of its bytes is told apart by tar).
void verifyArchive(const VerifyWork& work, TarRunner& tar, const std::atomic<bool>& cancel,
                   const std::function<void(const std::string&)>& difference);

}  // namespace kelvaro::ntbackup
