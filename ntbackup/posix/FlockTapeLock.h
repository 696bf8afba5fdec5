#pragma once
#include "ntbackup/TapeLock.h"

namespace kelvaro::ntbackup {

// flock() on "<tape>/.lock": works across processes, and on NFS and SMB mounts
// the kernel maps it to a lock the server sees, so two machines sharing a tape
// folder wait for each other too.
class FlockTapeLock : public TapeLock {
public:
    ~FlockTapeLock() override { release(); }
    std::string acquire(const std::string& tapeFolder, const std::function<void()>& waiting,
                        const std::atomic<bool>& cancel) override;
    void release() override;

private:
    int fd_ = -1;
};

}  // namespace kelvaro::ntbackup
