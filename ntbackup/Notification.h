#pragma once
#include <optional>
#include <string>

#include "ntbackup/Request.h"
#include "ntbackup/RunObserver.h"

namespace kelvaro::ntbackup {

// What the desktop is told about a run that did not end well.
struct Notification {
    std::string summary;
    std::string body;
    // The log on this machine, opened by the "Show Log" action.
    std::optional<std::string> showLog;
    bool failure = false;

    bool operator==(const Notification&) const = default;
};

// The run's log: its name as the command line gave it ("C:\KELVARO.LOG") and the file it is here.
struct RunLogFile {
    std::string windowsName;
    std::string path;
};

// The notification for a run's end, none for a run that ended well. `log` is
// the log the run wrote, none when there is no log to show.
std::optional<Notification> notificationFor(Operation operation, const RunResult& result, int exceptions,
                                            const std::string& firstException, const std::optional<RunLogFile>& log);

}  // namespace kelvaro::ntbackup
