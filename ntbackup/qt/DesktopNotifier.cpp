#include "ntbackup/qt/DesktopNotifier.h"

#include <QDBusMessage>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <QVariantMap>

namespace kelvaro::ntbackup {

namespace {

const QString kService = "org.freedesktop.Notifications";
const QString kPath = "/org/freedesktop/Notifications";
const QString kShowLog = "show-log";
// How long a notification with Show Log stays, and the program with it to serve
// the action (see serveActions).
constexpr int kActionLife = 10000;

}  // namespace

DesktopNotifier::DesktopNotifier(QDBusConnection bus, Opener open) : bus_(std::move(bus)), open_(std::move(open)) {}

QDBusConnection DesktopNotifier::sessionBus() {
    QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (address.isEmpty()) {
        const QString socket = qEnvironmentVariable("XDG_RUNTIME_DIR") + "/bus";
        if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && QFileInfo(socket).exists())
            address = "unix:path=" + socket;
    }
    if (address.isEmpty()) return QDBusConnection("kelvaro-ntbackup-no-bus");  // never connected
    return QDBusConnection::connectToBus(address, "kelvaro-ntbackup-notifications");
}

QDBusMessage DesktopNotifier::call(const QString& method, const QVariantList& args, const QDeadlineTimer& deadline) {
    const qint64 left = deadline.remainingTime();
    if (left <= 0) return QDBusMessage::createError(QDBusError::Timeout, "no time left");
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kService, method);
    message.setArguments(args);
    // Block: no event loop runs meanwhile, so no window code runs inside the call.
    return bus_.call(message, QDBus::Block, static_cast<int>(left));
}

bool DesktopNotifier::notify(const Notification& n, bool withAction, const QDeadlineTimer& deadline) {
    // A server that reads markup would take a "<" or "&" in a file name for it.
    const QString body = QString::fromStdString(n.body);
    QStringList actions;
    if (withAction) actions << kShowLog << "Show Log";
    const QVariantMap hints{{"urgency", QVariant::fromValue<uchar>(n.failure ? 2 : 1)}};
    const QDBusMessage reply = call("Notify",
                                    {QString("NTBackup.exe"), id_, QString(n.failure ? "dialog-error" : "dialog-warning"),
                                     QString::fromStdString(n.summary), markup_ ? body.toHtmlEscaped() : body, actions,
                                     hints, withAction ? kActionLife : -1},
                                    deadline);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
    id_ = reply.arguments().constFirst().toUInt();
    return true;
}

bool DesktopNotifier::send(const Notification& n) {
    id_ = 0;
    actionOffered_ = answered_ = false;
    if (!bus_.isConnected()) return false;
    const QDeadlineTimer deadline(1000);
    // A service started on demand by the bus is started by this first call.
    const QDBusMessage caps = call("GetCapabilities", {}, deadline);
    if (caps.type() != QDBusMessage::ReplyMessage || caps.arguments().isEmpty()) return false;
    const QStringList capabilities = caps.arguments().constFirst().toStringList();
    markup_ = capabilities.contains("body-markup");
    const bool withAction = n.showLog && capabilities.contains("actions");
    if (withAction) {
        // Listened for before the notification exists, so that no answer comes too
        // early; from any sender, as naming the service would ask the bus for its
        // owner with no time limit.
        bus_.connect(QString(), kPath, kService, "ActionInvoked", this, SLOT(actionInvoked(uint, QString)));
        bus_.connect(QString(), kPath, kService, "NotificationClosed", this, SLOT(notificationClosed(uint, uint)));
    }
    sent_ = n;
    const bool sent = notify(n, withAction, deadline);
    actionOffered_ = sent && withAction;
    return sent;
}

void DesktopNotifier::serveActions(int ms) {
    if (!actionOffered_ || answered_) return;
    QEventLoop loop;
    waiting_ = &loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    waiting_ = nullptr;
    if (answered_) return;
    // Nobody is left to answer the button once the program has ended: the
    // notification stays, without it.
    notify(sent_, false, QDeadlineTimer(1000));
    actionOffered_ = false;
}

void DesktopNotifier::actionInvoked(uint id, const QString& key) {
    if (id != id_ || key != kShowLog || !actionOffered_ || answered_) return;
    if (open_ && sent_.showLog) open_(*sent_.showLog);
    stopWaiting();
}

void DesktopNotifier::notificationClosed(uint id, uint) {
    if (id == id_ && actionOffered_) stopWaiting();
}

void DesktopNotifier::stopWaiting() {
    answered_ = true;
    if (waiting_) waiting_->quit();
}

}  // namespace kelvaro::ntbackup
