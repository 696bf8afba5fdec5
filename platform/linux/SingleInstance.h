#pragma once
#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace kelvaro::linuxp {

// One resident copy per user: two would start every backup twice. The first
// copy listens on a per-user local socket; a later start asks it to come to
// the front and then ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString name = defaultName(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another copy answered (and was asked to come to the front).
    bool notifyRunningInstance(int timeoutMs = 1000);
    // Starts listening; `onActivate` runs when a later start knocks.
    bool listen(std::function<void()> onActivate);

    static QString defaultName();

private:
    QString name_;
    QLocalServer* server_ = nullptr;
    std::function<void()> onActivate_;
};

}  // namespace kelvaro::linuxp
