#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <string>

class QSocketNotifier;

namespace kelvaro::linuxp {

// One resident copy per user: two would start every backup twice. The first
// copy listens on a per-user local socket; a later start asks it to come to
// the front and then ends. A plain Unix socket: Qt's network module would cost
// every resident copy its libraries (and theirs) for one connection a start.
//
// The socket lives where no other user can put one first (whoever listens
// there would get the "activate" and silence every start): $XDG_RUNTIME_DIR
// when it is the user's own folder with mode 0700, else a folder of the user's
// with mode 0700 under the temporary folder, else the settings folder.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `name` is a file name in the temporary folder, or an absolute path.
    explicit SingleInstance(QString name = defaultName(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another copy answered (and was asked to come to the front).
    bool notifyRunningInstance(int timeoutMs = 1000);
    // Starts listening; `onActivate` runs when a later start knocks.
    bool listen(std::function<void()> onActivate);

    static QString defaultName();
    // The socket for one settings folder (each is a user of its own).
    static QString socketPath(const QString& configHome);
    // The socket's file.
    const std::string& path() const { return path_; }

private:
    void acceptAll();

    std::string path_;
    int fd_ = -1;
    unsigned long ino_ = 0;  // the socket file this copy made
    QSocketNotifier* notifier_ = nullptr;
    std::function<void()> onActivate_;
};

}  // namespace kelvaro::linuxp
