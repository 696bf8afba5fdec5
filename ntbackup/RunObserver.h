#pragma once
#include <cstdint>
#include <string>

namespace kelvaro::ntbackup {

struct RunResult;

struct Counts {
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
};

// What a run tells while it goes: the window shows it, a terminal prints it.
// Calls come from the thread that runs the backup.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    virtual void phase(const std::string& /*text*/) {}
    // `totalKnown` is false while the files ahead are still being counted.
    virtual void progress(const Counts& /*done*/, const Counts& /*total*/, bool /*totalKnown*/) {}
    virtual void exception(const std::string& /*text*/) {}
    // Something the user must read that is not about one file (a log that cannot be written).
    virtual void notice(const std::string& /*text*/) {}
    // The end of the run, once.
    virtual void finished(const RunResult& /*result*/) {}
};

// How a run ended: the program's exit status and the sentence that says it.
struct RunResult {
    int status = 0;  // 0 done, 1 done with exceptions, 2 failed (nothing kept, no mark moved)
    std::string text;
};

}  // namespace kelvaro::ntbackup
