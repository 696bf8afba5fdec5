#include "ntbackup/Notification.h"

namespace kelvaro::ntbackup {

std::optional<Notification> notificationFor(Operation operation, const RunResult& result, int exceptions,
                                            const std::string& firstException, const std::optional<RunLogFile>& log) {
    if (result.status == 0) return std::nullopt;
    const std::string run = operation == Operation::Restore ? "Restore" : "Backup";
    if (result.status >= 2) {
        // The window already says "Backup failed: why"; the summary says the first half.
        const std::string prefix = run + " failed: ";
        const bool hasPrefix = result.text.compare(0, prefix.size(), prefix) == 0;
        return Notification{run + " failed", hasPrefix ? result.text.substr(prefix.size()) : result.text, {}, true};
    }
    Notification n;
    n.summary = run + " done with " + std::to_string(exceptions) + (exceptions == 1 ? " exception" : " exceptions");
    if (!firstException.empty()) n.body = (exceptions > 1 ? "First: " : "") + firstException;
    if (log) {
        n.body += (n.body.empty() ? "" : "\n") + std::string("Log file: ") + log->windowsName;
        n.showLog = log->path;
    }
    return n;
}

}  // namespace kelvaro::ntbackup
