#pragma once
#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QObject>
#include <QVariant>
#include <functional>
#include <string>

#include "ntbackup/qt/Notifier.h"

class QEventLoop;

namespace kelvaro::ntbackup {

// The desktop's notification service, org.freedesktop.Notifications, over D-Bus.
// Every call waits a second at most in all: a missing or hung service costs the
// run no more than that.
class DesktopNotifier : public QObject, public Notifier {
    Q_OBJECT
public:
    using Opener = std::function<void(const std::string& path)>;
    // `open` shows the log when its action is taken.
    DesktopNotifier(QDBusConnection bus, Opener open);

    // The user's session bus: the address in DBUS_SESSION_BUS_ADDRESS, else the
    // bus socket in XDG_RUNTIME_DIR. Without either the connection is not
    // connected: libdbus would otherwise start a bus of its own (dbus-launch)
    // that outlives the program.
    static QDBusConnection sessionBus();

    bool send(const Notification& notification) override;
    void serveActions(int ms) override;

private slots:
    void actionInvoked(uint id, const QString& key);
    void notificationClosed(uint id, uint reason);

private:
    QDBusMessage call(const QString& method, const QVariantList& args, const QDeadlineTimer& deadline);
    bool notify(const Notification& notification, bool withAction, const QDeadlineTimer& deadline);
    void stopWaiting();

    QDBusConnection bus_;
    Opener open_;
    Notification sent_;
    uint id_ = 0;
    bool markup_ = false;
    bool actionOffered_ = false;
    bool answered_ = false;
    QEventLoop* waiting_ = nullptr;
};

}  // namespace kelvaro::ntbackup
