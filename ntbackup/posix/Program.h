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

// Ctrl+C, SIGTERM and SIGHUP turn `flag` true; the run then ends cleanly.
void cancelOnSignals(std::atomic<bool>& flag);
// Whether one of those signals came: the program then ends with the run, also
// when a window would otherwise stay open to show a failure.
bool signalReceived();

}  // namespace kelvaro::ntbackup
