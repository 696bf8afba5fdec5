#pragma once
#include <atomic>
#include <string>
#include <vector>

#include "ntbackup/Request.h"
#include "ntbackup/RunObserver.h"

namespace kelvaro::ntbackup {

// Runs a parsed request against the real machine: GNU tar, the drive map beside
// the scheduler's settings, the tapes and marks under $XDG_DATA_HOME.
// `printed` receives what List prints.
RunResult runOnThisMachine(const Request& request, RunObserver& observer, const std::atomic<bool>& cancel,
                           std::string& printed);

// Ctrl+C and SIGTERM turn `flag` true; the run then ends cleanly.
void cancelOnSignals(std::atomic<bool>& flag);

}  // namespace kelvaro::ntbackup
