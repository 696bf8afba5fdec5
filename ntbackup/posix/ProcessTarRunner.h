#pragma once
#include <string>

#include "ntbackup/TarRunner.h"

namespace kelvaro::ntbackup {

// tar as a child process with its standard output and error read through pipes.
class ProcessTarRunner : public TarRunner {
public:
    explicit ProcessTarRunner(std::string program = "tar") : program_(std::move(program)) {}
    TarOutcome run(const std::vector<std::string>& args, const LineSink& out, const LineSink& err,
                   const std::atomic<bool>& cancel) override;

private:
    std::string program_;
};

}  // namespace kelvaro::ntbackup
