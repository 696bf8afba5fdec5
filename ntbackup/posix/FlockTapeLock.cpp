#include "ntbackup/posix/FlockTapeLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kelvaro::ntbackup {

std::string FlockTapeLock::acquire(const std::string& tapeFolder, const std::function<void()>& waiting,
                                   const std::atomic<bool>& cancel) {
    release();
    const std::string path = tapeFolder + "/.lock";
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return "The tape lock " + path + " cannot be opened: " + std::strerror(errno);
    bool told = false;
    // Polled rather than blocking, so that Cancel and Ctrl+C are seen while waiting.
    while (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            const std::string reason = std::strerror(errno);
            release();
            return "The tape lock " + path + " cannot be taken: " + reason;
        }
        if (!told && waiting) waiting();
        told = true;
        if (cancel.load()) {
            release();
            return "Cancelled while waiting for the tape.";
        }
        usleep(200 * 1000);
    }
    return {};
}

void FlockTapeLock::release() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

}  // namespace kelvaro::ntbackup
