#pragma once
#include <atomic>
#include <functional>

#include "ntbackup/ProgressModel.h"

namespace kelvaro::ntbackup {

struct WindowRunHooks {
    // Show state 7: minimised, and without taking the focus.
    bool minimised = false;
    // Once, in the event loop, when the window sees the run's end.
    std::function<void(const ProgressState&)> ended;
    // Polled: a signal asked the program to end; it then ends with the run, also
    // when a failure would keep the window open.
    std::function<bool()> stopRequested;
};

// Shows the "Backup" window over a run that reports into `model` (on another
// thread, or already over) and runs the event loop until the window may go.
// Returns the program's exit status; the window is gone on return.
int showUntilDone(const ProgressModel& model, std::atomic<bool>& cancel, const WindowRunHooks& hooks);

}  // namespace kelvaro::ntbackup
