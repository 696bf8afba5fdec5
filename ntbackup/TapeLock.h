#pragma once
#include <atomic>
#include <functional>
#include <string>

namespace kelvaro::ntbackup {

// One run at a time on a tape: held from acquire() until release() or the end of the process.
class TapeLock {
public:
    virtual ~TapeLock() = default;
    // Waits while another run holds the tape (calling `waiting` once as it starts to
    // wait) until the tape is free or `cancel` turns true. Empty on success, else why not.
    virtual std::string acquire(const std::string& tapeFolder, const std::function<void()>& waiting,
                                const std::atomic<bool>& cancel) = 0;
    virtual void release() = 0;
};

}  // namespace kelvaro::ntbackup
