#pragma once
#include <sys/types.h>

#include <cstddef>
#include <string>

namespace kelvaro::linuxp {

// A small private file read whole and replaced whole.
struct SmallFile {
    bool exists = false;
    std::string text;
    std::string problem;  // why an existing file could not be read; empty when it was
};
// Opened without blocking, so that a FIFO in its place cannot hang the caller.
SmallFile readSmallFile(const std::string& path, std::size_t maxBytes);

// Replaces `path` with `text` in one step: a temporary file beside it
// (".<name>.XXXXXX"), of `mode`, synced, then renamed over it. Missing folders
// are created with mode 0700 when `makeFolders` says so (not for the far end
// of a link, which may lie on a disk that is not mounted). Returns 0, or the
// errno of the step that failed.
int replaceFile(const std::string& path, const std::string& text, mode_t mode = 0600, bool makeFolders = true);

// Removes the temporaries that a replace cut short (a kill, a power cut) left
// beside `path`: regular files of our own named ".<name>.XXXXXX".
void removeStaleTemporaries(const std::string& path);

}  // namespace kelvaro::linuxp
