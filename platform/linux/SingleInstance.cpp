#include "platform/linux/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kelvaro::linuxp {
namespace {

bool toAddress(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

int unixSocket() { return ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0); }

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

SingleInstance::SingleInstance(QString name, QObject* parent) : QObject(parent) {
    path_ = (name.startsWith(QLatin1Char('/')) ? name : QDir::tempPath() + QLatin1Char('/') + name).toStdString();
}

SingleInstance::~SingleInstance() {
    if (fd_ < 0) return;
    delete notifier_;
    ::close(fd_);
    // Only our own socket: a later copy may have taken the name over meanwhile.
    struct stat st {};
    if (::stat(path_.c_str(), &st) == 0 && st.st_ino == ino_) ::unlink(path_.c_str());
}

QString SingleInstance::socketPath(const QString& configHome) {
    return QFile::decodeName(socketFolder(configHome)) + "/kelvaro-workstation-" +
           QString::number(qHash(configHome), 16);
}

QString SingleInstance::defaultName() {
    return QStringLiteral("kelvaro-workstation-%1").arg(static_cast<qulonglong>(::getuid()));
}

bool SingleInstance::notifyRunningInstance(int timeoutMs) {
    sockaddr_un address;
    if (!toAddress(path_, address)) return false;
    const int fd = unixSocket();
    if (fd < 0) return false;
    bool answered = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (!answered && errno == EAGAIN) {
        // The running copy's queue is full for now; it is there all the same.
        pollfd p{fd, POLLOUT, 0};
        answered = ::poll(&p, 1, timeoutMs) > 0 && (p.revents & POLLOUT);
    }
    if (answered) ::send(fd, "activate\n", 9, MSG_NOSIGNAL);
    ::close(fd);
    return answered;
}

bool SingleInstance::listen(std::function<void()> onActivate) {
    onActivate_ = std::move(onActivate);
    sockaddr_un address;
    const std::string temp = path_ + ".new" + std::to_string(::getpid());
    if (fd_ >= 0 || !toAddress(temp, address)) return false;
    const int fd = unixSocket();
    if (fd < 0) return false;
    ::unlink(temp.c_str());
    // Bound under a temporary name and made the user's alone before it takes the
    // real name (over a socket left by a copy that crashed), so no other user
    // ever reaches it.
    struct stat st {};
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(temp.c_str(), 0600) != 0 || ::listen(fd, 8) != 0 || ::stat(temp.c_str(), &st) != 0 ||
        ::rename(temp.c_str(), path_.c_str()) != 0) {
        ::unlink(temp.c_str());
        ::close(fd);
        return false;
    }
    fd_ = fd;
    ino_ = st.st_ino;
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { acceptAll(); });
    return true;
}

void SingleInstance::acceptAll() {
    int client;
    while ((client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0) {
        // Each knock is a request to come to the front; what it says is not needed.
        ::close(client);
        if (onActivate_) onActivate_();
    }
}

}  // namespace kelvaro::linuxp
