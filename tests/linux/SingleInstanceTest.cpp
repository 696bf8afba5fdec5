// One copy per user: the local socket a running copy listens on, and the knock
// of a later start.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/linux/SingleInstance.h"
#include "tests/linux/TempFolder.h"

namespace kelvaro::test {
namespace {

using linuxp::SingleInstance;
namespace fs = std::filesystem;

// Handles events until `done` holds or a second has passed.
template <class Done>
bool processUntil(Done done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 1000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

struct SingleInstanceTest : ::testing::Test {
    testsupport::TempFolder folder;
    QString name() const { return QString::fromStdString(folder.path() + "/kelvaro-socket"); }
};

TEST_F(SingleInstanceTest, ALaterStartKnocksOnceAndTheRunningCopyComesToTheFront) {
    SingleInstance running(name());
    int activations = 0;
    ASSERT_TRUE(running.listen([&activations] { ++activations; }));

    SingleInstance later(name());
    EXPECT_TRUE(later.notifyRunningInstance());
    EXPECT_TRUE(processUntil([&] { return activations > 0; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(activations, 1);

    // Only the user may knock.
    struct stat st {};
    ASSERT_EQ(::stat(running.path().c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(SingleInstanceTest, ASocketLeftByACrashedCopyAnswersNothingAndIsTakenOver) {
    // A socket file nobody listens on, as a copy that crashed leaves it.
    const std::string path = name().toStdString();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);

    SingleInstance first(name());
    EXPECT_FALSE(first.notifyRunningInstance());
    int activations = 0;
    ASSERT_TRUE(first.listen([&activations] { ++activations; }));
    EXPECT_TRUE(SingleInstance(name()).notifyRunningInstance());
    EXPECT_TRUE(processUntil([&] { return activations == 1; }));
}

TEST_F(SingleInstanceTest, ACopyThatEndsTakesItsSocketAlong) {
    std::string path;
    {
        SingleInstance running(name());
        ASSERT_TRUE(running.listen([] {}));
        path = running.path();
        EXPECT_EQ(::access(path.c_str(), F_OK), 0);
    }
    EXPECT_NE(::access(path.c_str(), F_OK), 0);
    EXPECT_FALSE(SingleInstance(name()).notifyRunningInstance());
}

struct SocketPlaceTest : ::testing::Test {
    testsupport::TempFolder tmp;
    testsupport::ScopedEnv temp{"TMPDIR", tmp / "tmp"};
    const QString config = QString::fromStdString(tmp / "config");
    const std::string own = tmp / ("tmp/kelvaro-workstation-" + std::to_string(::geteuid()));

    SocketPlaceTest() {
        fs::create_directories(tmp / "tmp");
        fs::create_directories(tmp / "runtime");
    }
    std::string folderOf(const QString& socket) const { return fs::path(socket.toStdString()).parent_path(); }
};

TEST_F(SocketPlaceTest, TheSocketGoesWhereOnlyTheUserCanWrite) {
    ::chmod((tmp / "runtime").c_str(), 0700);
    {
        testsupport::ScopedEnv runtime("XDG_RUNTIME_DIR", tmp / "runtime");
        EXPECT_EQ(folderOf(SingleInstance::socketPath(config)), tmp / "runtime");
        // Each settings folder has a socket of its own.
        EXPECT_NE(SingleInstance::socketPath(config), SingleInstance::socketPath(config + "2"));
    }
    // A runtime folder others may enter, or none: a private folder of the user's.
    ::chmod((tmp / "runtime").c_str(), 0755);
    for (const auto& runtime : {std::optional<std::string>(tmp / "runtime"), std::optional<std::string>()}) {
        testsupport::ScopedEnv env("XDG_RUNTIME_DIR", runtime);
        EXPECT_EQ(folderOf(SingleInstance::socketPath(config)), own);
        EXPECT_EQ(testsupport::modeOf(own), 0700u);
    }
    // That name taken by a folder others can write to: the settings folder.
    testsupport::ScopedEnv noRuntime("XDG_RUNTIME_DIR", std::nullopt);
    fs::remove(own);
    fs::create_directories(own);
    ::chmod(own.c_str(), 0777);
    EXPECT_EQ(folderOf(SingleInstance::socketPath(config)), tmp / "config/Kelvaro Workstation");
    EXPECT_EQ(testsupport::modeOf(tmp / "config/Kelvaro Workstation"), 0700u);
}


}  // namespace
}  // namespace kelvaro::test
