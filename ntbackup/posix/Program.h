#pragma once
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ntbackup/Notification.h"
#include "ntbackup/Request.h"
#include "ntbackup/RestoreRun.h"
#include "ntbackup/RunObserver.h"
#include "ntbackup/TarRunner.h"

namespace kelvaro::ntbackup {

// Runs a parsed request against the real machine: GNU tar, the drive map beside
// the scheduler's settings, the tapes and marks under $XDG_DATA_HOME.
// `printed` receives what List prints.
RunResult runOnThisMachine(const Request& request, RunObserver& observer, const std::atomic<bool>& cancel,
                           std::string& printed);

// What the Restore window needs from this machine: the tapes' folder, tar to
// read them with, the folder a drive letter points to now (its "Original
// place") and the restore itself.
std::string tapesFolderOnThisMachine();
std::unique_ptr<TarRunner> tarOnThisMachine();
std::optional<std::string> drivePlaceOnThisMachine(char letter);
RunResult restoreOnThisMachine(const SelectionRestore& what, RunObserver& observer, const std::atomic<bool>& cancel);

// What the desktop is told of a run's end (none for a run that ended well),
// with the run's log when the command line asked for one and it is there.
std::optional<Notification> notificationOnThisMachine(const std::variant<Request, BadCommandLine>& parsed,
                                                      const RunResult& result, int exceptions,
                                                      const std::string& firstException);
// Whether the desktop has a session bus to tell it on.
bool sessionBusOnThisMachine();

// Ctrl+C, SIGTERM and SIGHUP turn `flag` true; the run then ends cleanly.
void cancelOnSignals(std::atomic<bool>& flag);
// Whether one of those signals came: the program then ends with the run, also
// when a window would otherwise stay open to show a failure.
bool signalReceived();

}  // namespace kelvaro::ntbackup
