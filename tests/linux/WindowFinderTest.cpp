#include <gtest/gtest.h>

#include <ctime>
#include <random>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "platform/linux/X11WindowFinder.h"
#include "tests/linux/PosixTestSupport.h"

// After gtest: Xlib defines macros (None, Bool, Status) that clash with it.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

using kelvaro::linuxp::X11WindowFinder;
using kelvaro::posixtest::EnvOverride;
using namespace std::chrono_literals;

namespace {

bool xvfbInstalled() {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t from = 0;
    for (;;) {
        const auto colon = dirs.find(':', from);
        const std::string dir = dirs.substr(from, colon == std::string::npos ? std::string::npos : colon - from);
        if (access((dir + "/Xvfb").c_str(), X_OK) == 0) return true;
        if (colon == std::string::npos) return false;
        from = colon + 1;
    }
}

// An Xvfb server of our own, on a free display number it picks itself, or on a
// given one (to bring a server back on the same display).
class Xvfb {
public:
    ~Xvfb() { stop(); }

    // Without a number it takes a random one from a high range rather than the
    // lowest free one, so that tests running side by side never take the number
    // of a server that another test stopped and is about to bring back.
    bool start(std::optional<int> displayNumber = std::nullopt) {
        if (!displayNumber) {
            static std::mt19937 pick(static_cast<unsigned>(getpid()) ^ static_cast<unsigned>(time(nullptr)));
            for (int attempt = 0; attempt < 20; ++attempt)
                if (startOn(400 + static_cast<int>(pick() % 500))) return true;
            return false;
        }
        return startOn(*displayNumber);
    }

    bool startOn(std::optional<int> displayNumber) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return false;
        pid_ = fork();
        if (pid_ < 0) return false;
        if (pid_ == 0) {
            const int writeFd = dup(fds[1]);  // the copy survives exec
            const int quiet = open("/dev/null", O_RDWR);
            dup2(quiet, 1);
            dup2(quiet, 2);
            const std::string fd = std::to_string(writeFd);
            if (displayNumber) {
                const std::string name = ":" + std::to_string(*displayNumber);
                execlp("Xvfb", "Xvfb", name.c_str(), "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
                       "320x240x24", static_cast<char*>(nullptr));
            } else {
                execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0", "320x240x24",
                       static_cast<char*>(nullptr));
            }
            _exit(127);
        }
        close(fds[1]);
        std::string text;
        const auto until = std::chrono::steady_clock::now() + 15s;
        while (text.find('\n') == std::string::npos && std::chrono::steady_clock::now() < until) {
            pollfd p{fds[0], POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            char buf[32];
            const ssize_t n = read(fds[0], buf, sizeof buf);
            if (n <= 0) break;
            text.append(buf, static_cast<std::size_t>(n));
        }
        close(fds[0]);
        if (text.find('\n') == std::string::npos) {
            stop();
            return false;
        }
        number_ = std::stoi(text);
        return true;
    }

    void stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }

    int number() const { return number_; }
    std::string name() const { return ":" + std::to_string(number_); }

private:
    pid_t pid_ = -1;
    int number_ = -1;
};

// A client of the server that makes titled windows, as other programs would.
class Client {
public:
    explicit Client(const std::string& display) : d_(XOpenDisplay(display.c_str())) {}
    ~Client() { close(); }
    void close() {
        if (d_) XCloseDisplay(d_);
        d_ = nullptr;
    }
    bool ok() const { return d_ != nullptr; }
    Display* display() const { return d_; }

    Window window(Window parent = 0) {
        const Window w = XCreateSimpleWindow(d_, parent ? parent : DefaultRootWindow(d_), 0, 0, 20, 20, 0, 0, 0);
        XSync(d_, False);
        return w;
    }
    void setWmName(Window w, const std::string& title) {
        XChangeProperty(d_, w, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
        XSync(d_, False);
    }
    void setNetWmName(Window w, const std::string& title) {
        XChangeProperty(d_, w, XInternAtom(d_, "_NET_WM_NAME", False), XInternAtom(d_, "UTF8_STRING", False), 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(title.data()),
                        static_cast<int>(title.size()));
        XSync(d_, False);
    }
    Window titled(const std::string& title, Window parent = 0) {
        const Window w = window(parent);
        setWmName(w, title);
        setNetWmName(w, title);
        return w;
    }
    void destroy(Window w) {
        XDestroyWindow(d_, w);
        XSync(d_, False);
    }

private:
    Display* d_;
};

class WindowFinderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!xvfbInstalled()) GTEST_SKIP() << "Xvfb is not installed";
        ASSERT_TRUE(server.start()) << "Xvfb did not start";
        display.emplace("DISPLAY", server.name());
        client.emplace(server.name());
        ASSERT_TRUE(client->ok());
    }
    void TearDown() override {
        finder.reset();  // closes its connection before the server goes
        if (client) client->close();
    }

    Xvfb server;
    std::optional<EnvOverride> display;
    std::optional<Client> client;
    std::optional<X11WindowFinder> finder{std::in_place};
};

}  // namespace

TEST_F(WindowFinderTest, FindsWindowsByTheirWholeTitleOnly) {
    const Window backup = client->titled("Backup");
    client->titled("Backup - 2");
    EXPECT_TRUE(finder->existsWithTitle("Backup"));
    EXPECT_TRUE(finder->existsWithTitle("Backup - 2"));
    EXPECT_FALSE(finder->existsWithTitle("Backu"));
    EXPECT_FALSE(finder->existsWithTitle("backup"));
    EXPECT_FALSE(finder->existsWithTitle("Backup "));
    EXPECT_FALSE(finder->existsWithTitle("Backup - "));

    client->destroy(backup);
    EXPECT_FALSE(finder->existsWithTitle("Backup"));
    EXPECT_TRUE(finder->existsWithTitle("Backup - 2"));
}

TEST_F(WindowFinderTest, NothingIsFoundOnAnEmptyDesktop) {
    EXPECT_FALSE(finder->existsWithTitle("Backup"));
    EXPECT_FALSE(finder->existsWithTitle(""));
    EXPECT_TRUE(finder->connected());
}

TEST_F(WindowFinderTest, WmNameIsUsedWhenThereIsNoNetWmName) {
    const Window w = client->window();
    client->setWmName(w, "Backup");
    EXPECT_TRUE(finder->existsWithTitle("Backup"));
}

TEST_F(WindowFinderTest, NetWmNameWinsOverWmName) {
    const Window w = client->window();
    client->setWmName(w, "Backup");
    client->setNetWmName(w, "Kelvaro");
    EXPECT_FALSE(finder->existsWithTitle("Backup"));
    EXPECT_TRUE(finder->existsWithTitle("Kelvaro"));
}

TEST_F(WindowFinderTest, Latin1WmNameMatchesItsUtf8Text) {
    const Window w = client->window();
    client->setWmName(w, "Gr\xfc\xdf");
    EXPECT_TRUE(finder->existsWithTitle("Gr\xc3\xbc\xc3\x9f"));
    EXPECT_FALSE(finder->existsWithTitle("Gr\xfc\xdf"));
}

TEST_F(WindowFinderTest, Utf8NetWmNameMatchesExactly) {
    client->titled("Sicherung \xe2\x80\x93 \xc3\xa4");
    EXPECT_TRUE(finder->existsWithTitle("Sicherung \xe2\x80\x93 \xc3\xa4"));
    EXPECT_FALSE(finder->existsWithTitle("Sicherung - \xc3\xa4"));
}

TEST_F(WindowFinderTest, ClientWindowInsideAFrameIsFound) {
    // A window manager reparents the client into an untitled frame.
    const Window frame = client->window();
    const Window inner = client->window(frame);
    client->titled("Backup", inner);
    EXPECT_TRUE(finder->existsWithTitle("Backup"));
    client->destroy(frame);
    EXPECT_FALSE(finder->existsWithTitle("Backup"));
}

TEST_F(WindowFinderTest, WindowsOfAnyClientAreFoundAndGoWithTheirClient) {
    Client other(server.name());
    ASSERT_TRUE(other.ok());
    other.titled("Backup");
    EXPECT_TRUE(finder->existsWithTitle("Backup"));
    other.close();
    EXPECT_FALSE(finder->existsWithTitle("Backup"));
}

TEST_F(WindowFinderTest, KeepsOneConnectionBetweenLookups) {
    client->titled("Backup");
    EXPECT_TRUE(finder->existsWithTitle("Backup"));
    ASSERT_TRUE(finder->connected());
    // A second lookup works on the same connection and sees later changes.
    client->titled("Later");
    EXPECT_TRUE(finder->existsWithTitle("Later"));
}

TEST_F(WindowFinderTest, WithoutDisplayNothingIsFound) {
    client->titled("Backup");
    EXPECT_TRUE(finder->existsWithTitle("Backup"));
    {
        EnvOverride none("DISPLAY", std::nullopt);
        EXPECT_FALSE(finder->existsWithTitle("Backup"));
        EXPECT_FALSE(finder->connected());
    }
    {
        EnvOverride empty("DISPLAY", "");
        EXPECT_FALSE(finder->existsWithTitle("Backup"));
    }
    EXPECT_TRUE(finder->existsWithTitle("Backup"));
}

TEST_F(WindowFinderTest, DisplayWithoutServerFindsNothing) {
    EnvOverride nowhere("DISPLAY", ":" + std::to_string(server.number() + 137));
    EXPECT_FALSE(finder->existsWithTitle("Backup"));
    EXPECT_FALSE(finder->connected());
}

TEST_F(WindowFinderTest, FollowsDisplayToAnotherServer) {
    Xvfb second;
    ASSERT_TRUE(second.start());
    client->titled("Backup");
    EXPECT_TRUE(finder->existsWithTitle("Backup"));
    {
        EnvOverride other("DISPLAY", second.name());
        EXPECT_FALSE(finder->existsWithTitle("Backup"));
    }
    EXPECT_TRUE(finder->existsWithTitle("Backup"));
    finder.reset();
}

TEST_F(WindowFinderTest, SurvivesTheServerGoingAwayAndReconnects) {
    client->titled("Backup");
    EXPECT_TRUE(finder->existsWithTitle("Backup"));
    client->close();
    const int number = server.number();
    server.stop();

    EXPECT_FALSE(finder->existsWithTitle("Backup"));
    EXPECT_FALSE(finder->existsWithTitle("Backup"));

    ASSERT_TRUE(server.start(number));
    client.emplace(server.name());
    ASSERT_TRUE(client->ok());
    EXPECT_FALSE(finder->existsWithTitle("Backup"));
    client->titled("Backup");
    EXPECT_TRUE(finder->existsWithTitle("Backup"));
}

TEST_F(WindowFinderTest, WindowsVanishingDuringTheWalkDoNotStopIt) {
    client->titled("Steady");
    std::atomic<bool> done{false};
    std::atomic<int> churned{0};
    std::thread churn([&] {
        Client busy(server.name());
        if (!busy.ok()) return;
        while (!done) {
            Window parents[8];
            for (Window& p : parents) {
                p = busy.window();
                busy.titled("Passing", busy.window(p));
            }
            for (Window p : parents) XDestroyWindow(busy.display(), p);
            XSync(busy.display(), False);
            ++churned;
        }
    });
    int found = 0;
    for (int i = 0; i < 200; ++i)
        if (finder->existsWithTitle("Steady")) ++found;
    done = true;
    churn.join();
    EXPECT_GT(churned.load(), 0);
    EXPECT_EQ(found, 200);
    EXPECT_FALSE(finder->existsWithTitle("Nobody"));
}
