#include "platform/linux/SingleInstance.h"

#include <QLocalServer>
#include <QFile>
#include <QLocalSocket>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvaro::linuxp {
namespace {

// A folder of ours that nobody else may enter, let alone write to.
bool isPrivateFolder(const QByteArray& path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & 077) == 0;
}

QByteArray socketFolder(const QString& configHome) {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && isPrivateFolder(runtime)) return runtime;

    QByteArray temp = qgetenv("TMPDIR");
    if (!temp.startsWith('/')) temp = "/tmp";
    const QByteArray own = temp + "/kelvaro-workstation-" + QByteArray::number(::geteuid());
    ::mkdir(own.constData(), 0700);
    if (isPrivateFolder(own)) return own;

    // Someone else holds that name: the settings folder is the user's alone.
    const QByteArray settings = QFile::encodeName(configHome + "/Kelvaro Workstation");
    ::mkdir(QFile::encodeName(configHome).constData(), 0700);
    ::mkdir(settings.constData(), 0700);
    return settings;
}

}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::socketPath(const QString& configHome) {
    return QFile::decodeName(socketFolder(configHome)) + "/kelvaro-workstation-" +
           QString::number(qHash(configHome), 16);
}

bool SingleInstance::notifyRunningInstance(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write("activate\n");
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen(std::function<void()> onActivate) {
    onActivate_ = std::move(onActivate);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        // A socket left by a copy that crashed: nobody answered, so take it over.
        QLocalServer::removeServer(name_);
        if (!server_->listen(name_)) return false;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            if (onActivate_) onActivate_();
        }
    });
    return true;
}

}  // namespace kelvaro::linuxp
