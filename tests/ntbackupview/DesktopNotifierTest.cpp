#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>

#include "ntbackup/qt/DesktopNotifier.h"

namespace kelvaro::ntbackup {
namespace {

const QString kStandIn = QFileInfo(QString(__FILE__)).dir().filePath("notification_service.py");

// The stand-in notification service (notification_service.py) on a bus of its
// own, started by dbus-run-session; it ends when its input is closed.
class StandIn {
public:
    explicit StandIn(const QString& mode) {
        record_ = dir_.filePath("record.jsonl");
        process_.start("dbus-run-session", {"--", "/usr/bin/python3", kStandIn, mode, record_});
        if (process_.waitForReadyRead(10000)) address_ = QString::fromUtf8(process_.readLine()).trimmed();
    }
    ~StandIn() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(5000)) process_.kill();
        process_.waitForFinished(1000);
    }
    QDBusConnection connect() {
        static int n = 0;
        return QDBusConnection::connectToBus(address_, QString("stand-in-%1").arg(++n));
    }
    const QString& address() const { return address_; }
    // The Notify calls the service answered, each as its argument list.
    std::vector<QJsonArray> notifies() const {
        std::vector<QJsonArray> calls;
        QFile f(record_);
        if (!f.open(QIODevice::ReadOnly)) return calls;
        while (!f.atEnd()) {
            const QJsonObject call = QJsonDocument::fromJson(f.readLine()).object();
            if (call["method"].toString() == "Notify") calls.push_back(call["args"].toArray());
        }
        return calls;
    }

private:
    QTemporaryDir dir_;
    QString record_;
    QProcess process_;
    QString address_;
};

const Notification kExceptions{"Backup done with 1 exception",
                               "c: ./a <b> & c: Cannot open: Permission denied\nLog file: C:\\KELVARO.LOG",
                               "/home/alice/KELVARO.LOG", false};

class DesktopNotifierTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("dbus-run-session").isEmpty())
            GTEST_SKIP() << "dbus-run-session is not installed (package dbus-daemon, scripts/deps.sh)";
    }
    std::vector<std::string> opened;
    DesktopNotifier::Opener opener = [this](const std::string& path) { opened.push_back(path); };
};

QStringList strings(const QJsonValue& v) {
    QStringList list;
    for (const auto& s : v.toArray()) list << s.toString();
    return list;
}

TEST_F(DesktopNotifierTest, ShowLogIsOfferedAndOpensTheLog) {
    StandIn service("invoke");
    ASSERT_FALSE(service.address().isEmpty()) << "the stand-in service did not start";
    DesktopNotifier notifier(service.connect(), opener);
    ASSERT_TRUE(notifier.send(kExceptions));
    auto calls = service.notifies();
    ASSERT_EQ(calls.size(), 1u);
    const QJsonArray& a = calls[0];
    EXPECT_EQ(a[0].toString(), "NTBackup.exe");
    EXPECT_EQ(a[1].toInt(), 0);  // a new notification
    EXPECT_EQ(a[3].toString().toStdString(), kExceptions.summary);
    EXPECT_EQ(a[4].toString().toStdString(), kExceptions.body);  // no markup: the text as it is
    EXPECT_EQ(strings(a[5]), (QStringList{"show-log", "Show Log"}));
    EXPECT_EQ(a[6].toObject()["urgency"].toInt(), 1);
    EXPECT_EQ(a[7].toInt(), 10000);  // it goes when the program stops serving it

    QElapsedTimer waited;
    waited.start();
    notifier.serveActions(8000);
    EXPECT_LT(waited.elapsed(), 4000);  // ended by the action, not by the bound
    EXPECT_EQ(opened, std::vector<std::string>{"/home/alice/KELVARO.LOG"});
    EXPECT_EQ(service.notifies().size(), 1u);  // taken: nothing to withdraw
}

TEST_F(DesktopNotifierTest, AnActionNotTakenIsWithdrawnWhenTheWaitEnds) {
    StandIn service("ignore");
    DesktopNotifier notifier(service.connect(), opener);
    ASSERT_TRUE(notifier.send(kExceptions));
    notifier.serveActions(300);
    EXPECT_TRUE(opened.empty());
    const auto calls = service.notifies();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1][1].toInt(), 1);  // replaces the first, whose id was 1
    EXPECT_EQ(calls[1][3].toString(), calls[0][3].toString());
    EXPECT_EQ(calls[1][4].toString(), calls[0][4].toString());
    EXPECT_TRUE(strings(calls[1][5]).isEmpty());
}

TEST_F(DesktopNotifierTest, AFailureToAServerOfMarkupWithoutActions) {
    StandIn service("markup");
    DesktopNotifier notifier(service.connect(), opener);
    ASSERT_TRUE(notifier.send(kExceptions));
    notifier.serveActions(5000);  // nothing was offered: returns at once
    Notification failure{"Backup failed", "The folder /tmp/a&b cannot be made: Permission denied", {}, true};
    ASSERT_TRUE(notifier.send(failure));
    const auto calls = service.notifies();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_TRUE(strings(calls[0][5]).isEmpty());
    EXPECT_EQ(calls[0][4].toString(),
              "c: ./a &lt;b&gt; &amp; c: Cannot open: Permission denied\nLog file: C:\\KELVARO.LOG");
    EXPECT_EQ(calls[1][2].toString(), "dialog-error");
    EXPECT_EQ(calls[1][3].toString(), "Backup failed");
    EXPECT_EQ(calls[1][4].toString(), "The folder /tmp/a&amp;b cannot be made: Permission denied");
    EXPECT_EQ(calls[1][6].toObject()["urgency"].toInt(), 2);
    EXPECT_EQ(calls[1][7].toInt(), -1);
}

TEST_F(DesktopNotifierTest, NobodyToTellCostsASecondAtMost) {
    for (const char* mode : {"none", "hang"}) {
        SCOPED_TRACE(mode);
        StandIn service(mode);
        ASSERT_FALSE(service.address().isEmpty());
        DesktopNotifier notifier(service.connect(), opener);
        QElapsedTimer took;
        took.start();
        EXPECT_FALSE(notifier.send(kExceptions));
        EXPECT_LT(took.elapsed(), 1500);
        notifier.serveActions(5000);
        EXPECT_LT(took.elapsed(), 1500);  // nothing offered, nothing to wait for
    }
    DesktopNotifier noBus(QDBusConnection("no-such-connection"), opener);
    EXPECT_FALSE(noBus.send(kExceptions));
}

TEST_F(DesktopNotifierTest, NoSessionBusMeansNoConnection) {
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS"), runtime = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir emptyRuntime;
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("XDG_RUNTIME_DIR", emptyRuntime.path().toUtf8());
    EXPECT_FALSE(DesktopNotifier::sessionBus().isConnected());
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    qputenv("XDG_RUNTIME_DIR", runtime);
}

}  // namespace
}  // namespace kelvaro::ntbackup
