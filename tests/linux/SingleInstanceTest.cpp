// Where the one-copy-per-user socket lives, and how a later start reaches the
// running copy.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/linux/SingleInstance.h"
#include "tests/linux/TempFolder.h"

using kelvaro::linuxp::SingleInstance;
using kelvaro::testsupport::modeOf;
using kelvaro::testsupport::ScopedEnv;
using kelvaro::testsupport::TempFolder;
namespace fs = std::filesystem;

namespace {

struct SingleInstanceTest : ::testing::Test {
    TempFolder tmp;
    ScopedEnv temp{"TMPDIR", tmp / "tmp"};
    const QString config = QString::fromStdString(tmp / "config");
    const std::string own = tmp / ("tmp/kelvaro-workstation-" + std::to_string(::geteuid()));

    SingleInstanceTest() {
        fs::create_directories(tmp / "tmp");
        fs::create_directories(tmp / "runtime");
    }
    std::string folderOf(const QString& socket) const { return fs::path(socket.toStdString()).parent_path(); }
};

}  // namespace

TEST_F(SingleInstanceTest, TheSocketGoesWhereOnlyTheUserCanWrite) {
    ::chmod((tmp / "runtime").c_str(), 0700);
    {
        ScopedEnv runtime("XDG_RUNTIME_DIR", tmp / "runtime");
        EXPECT_EQ(folderOf(SingleInstance::socketPath(config)), tmp / "runtime");
        // Each settings folder has a socket of its own.
        EXPECT_NE(SingleInstance::socketPath(config), SingleInstance::socketPath(config + "2"));
    }
    // A runtime folder others may enter, or none: a private folder of the user's.
    ::chmod((tmp / "runtime").c_str(), 0755);
    for (const auto& runtime : {std::optional<std::string>(tmp / "runtime"), std::optional<std::string>()}) {
        ScopedEnv env("XDG_RUNTIME_DIR", runtime);
        EXPECT_EQ(folderOf(SingleInstance::socketPath(config)), own);
        EXPECT_EQ(modeOf(own), 0700u);
    }
    // That name taken by a folder others can write to: the settings folder.
    ScopedEnv noRuntime("XDG_RUNTIME_DIR", std::nullopt);
    fs::remove(own);
    fs::create_directories(own);
    ::chmod(own.c_str(), 0777);
    EXPECT_EQ(folderOf(SingleInstance::socketPath(config)), tmp / "config/Kelvaro Workstation");
    EXPECT_EQ(modeOf(tmp / "config/Kelvaro Workstation"), 0700u);
}

TEST_F(SingleInstanceTest, AStaleSocketIsTakenOverAndALaterStartReachesTheRunningCopy) {
    ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    const QString path = SingleInstance::socketPath(config);
    // What a killed copy leaves: a socket file nobody listens on.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.toLocal8Bit().constData(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);

    SingleInstance later(path);
    EXPECT_FALSE(later.notifyRunningInstance(200));
    SingleInstance running(path);
    int activations = 0;
    ASSERT_TRUE(running.listen([&activations] { ++activations; }));
    EXPECT_TRUE(later.notifyRunningInstance(1000));
    QElapsedTimer waited;
    waited.start();
    while (activations == 0 && waited.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(activations, 1);
}
