#pragma once
#include <optional>
#include <string>
#include <vector>

namespace kelvaro::ntbackup {

// The archive bit of a drive, Linux style: the tar snapshot (--listed-incremental)
// of the last run that set the mark, kept per drive letter with the folder it was
// taken of. A letter that now points elsewhere has no mark.
//
// A mark also records its chain: the tape and the sets on it that restore the
// drive as the mark saw it (the set that took every file, then each Incremental
// after it). A run that starts from the mark builds on that chain.
struct MarkChain {
    int tape = 0;
    std::vector<int> sets;
};

class Marks {
public:
    explicit Marks(std::string folder) : folder_(std::move(folder)) {}

    // The snapshot file of the drive's mark, when there is one for this folder.
    std::optional<std::string> snapshot(char drive, const std::string& driveFolder) const;
    // Takes a finished run's snapshot (the file itself, moved) as the drive's new mark.
    // Empty on success, else why not.
    std::string set(char drive, const std::string& driveFolder, const std::string& snapshotFile,
                    const MarkChain& chain) const;
    // The chain of the drive's mark; none for a mark from before chains were kept.
    std::optional<MarkChain> chain(char drive, const std::string& driveFolder) const;

private:
    std::string path(char drive, const char* suffix) const;
    std::string folder_;
};

}  // namespace kelvaro::ntbackup
