#pragma once
#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace kelvaro::ntbackup {

struct TarOutcome {
    int exitStatus = 0;      // tar's own: 0 fine, 1 some files differ, 2 trouble
    bool cancelled = false;  // stopped on request before it ended
    bool started = true;     // false when tar could not be run at all
    std::string startError;  // why, when it could not
};

using LineSink = std::function<void(const std::string&)>;

// Runs GNU tar with the given arguments (never through a shell) and hands over
// what it prints, line by line, as it prints it. Ends tar when `cancel` turns true.
class TarRunner {
public:
    virtual ~TarRunner() = default;
    virtual TarOutcome run(const std::vector<std::string>& args, const LineSink& out, const LineSink& err,
                           const std::atomic<bool>& cancel) = 0;
};

}  // namespace kelvaro::ntbackup
