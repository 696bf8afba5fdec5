#pragma once
#include "ntbackup/Notification.h"

namespace kelvaro::ntbackup {

// Tells the desktop how a run ended.
class Notifier {
public:
    virtual ~Notifier() = default;
    // Puts the notification up, taking a second at most; false when nobody could
    // be told (no session bus, no notification service, no answer in time).
    virtual bool send(const Notification& notification) = 0;
    // Serves the Show Log action of the last notification sent until it is taken
    // or the notification is dismissed, `ms` at most; afterwards no action is
    // left on offer. Returns at once when none was offered.
    virtual void serveActions(int ms) = 0;
};

}  // namespace kelvaro::ntbackup
