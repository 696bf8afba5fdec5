#pragma once
#include <optional>
#include <string>

namespace kelvaro::ntbackup {

// The archive bit of a drive, Linux style: the tar snapshot (--listed-incremental)
// of the last run that set the mark, kept per drive letter with the folder it was
// taken of. A letter that now points elsewhere has no mark.
class Marks {
public:
    explicit Marks(std::string folder) : folder_(std::move(folder)) {}

    // The snapshot file of the drive's mark, when there is one for this folder.
    std::optional<std::string> snapshot(char drive, const std::string& driveFolder) const;
    // Takes a finished run's snapshot as the drive's new mark. Empty on success, else why not.
    std::string set(char drive, const std::string& driveFolder, const std::string& snapshotFile) const;

private:
    std::string path(char drive, const char* suffix) const;
    std::string folder_;
};

}  // namespace kelvaro::ntbackup
