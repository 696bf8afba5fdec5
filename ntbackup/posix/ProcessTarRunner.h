#pragma once
#include <string>

#include "ntbackup/TarRunner.h"

namespace kelvaro::ntbackup {

// tar as a child process with its standard output and error read through pipes.
class ProcessTarRunner : public TarRunner {
public:
    // `niceness` above 0 runs tar at a lower scheduling priority.
    explicit ProcessTarRunner(std::string program = "tar", int niceness = 0)
        : program_(std::move(program)), niceness_(niceness) {}
    TarOutcome run(const std::vector<std::string>& args, const LineSink& out, const LineSink& err,
                   const std::atomic<bool>& cancel) override;

private:
    std::string program_;
    int niceness_;
};

}  // namespace kelvaro::ntbackup
