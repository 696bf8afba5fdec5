#pragma once
#include <mutex>
#include <optional>
#include <string>

#include "ntbackup/RunObserver.h"

namespace kelvaro::ntbackup {

// Where a run stands, as the "Backup" window shows it.
struct ProgressState {
    std::string phase;
    Counts done, total;
    bool totalKnown = false;
    int exceptions = 0;
    std::string firstException, lastException;
    std::string notice;
    std::optional<RunResult> result;
};

// Collects what the run tells on its own thread; the window reads a copy on its own.
class ProgressModel : public RunObserver {
public:
    ProgressState state() const;

    void phase(const std::string& text) override;
    void progress(const Counts& done, const Counts& total, bool totalKnown) override;
    void exception(const std::string& text) override;
    void notice(const std::string& text) override;
    void finished(const RunResult& result) override;

private:
    mutable std::mutex mutex_;
    ProgressState state_;
};

// "1,234 of 5,678 files, 12.3 MB of 100.0 MB"; "1,234 files, 12.3 MB, still counting"
std::string countsText(const ProgressState& s);
// Share done, 0 to 100, by bytes (by files when there are no bytes to count);
// none while the total is still being counted.
std::optional<int> percentDone(const ProgressState& s);
// "512 bytes", "12.3 KB", "4.0 MB", "1.2 GB"
std::string sizeText(std::uint64_t bytes);

}  // namespace kelvaro::ntbackup
