#include "ntbackup/posix/ProcessTarRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>

extern char** environ;

namespace kelvaro::ntbackup {

namespace {

// Splits a byte stream into lines; a last line without its newline is kept for flush().
class LineSplitter {
public:
    explicit LineSplitter(const LineSink& sink) : sink_(sink) {}
    void feed(const char* data, std::size_t n) {
        const char* const end = data + n;
        while (data < end) {
            const auto* nl = static_cast<const char*>(std::memchr(data, '\n', static_cast<std::size_t>(end - data)));
            if (!nl) {
                partial_.append(data, end);
                return;
            }
            // One string for every line: no allocation once it is long enough.
            if (partial_.empty()) {
                line_.assign(data, nl);
            } else {
                partial_.append(data, nl);
                line_.swap(partial_);
                partial_.clear();
            }
            if (sink_) sink_(line_);
            data = nl + 1;
        }
    }
    void flush() {
        if (!partial_.empty() && sink_) sink_(partial_);
        partial_.clear();
    }

private:
    const LineSink& sink_;
    std::string line_, partial_;
};

// tar writes a verbose listing a line at a time. Taken in as each line comes,
// that is a wake-up of this process for every file; a short nap when little
// was waiting lets the lines gather, in a pipe large enough to hold them.
constexpr int kPipeSize = 1 << 20;
constexpr std::size_t kReadSize = 1 << 18;
constexpr std::size_t kLittle = 16384;
constexpr long kNapNanoseconds = 2'000'000;

}  // namespace

TarOutcome ProcessTarRunner::run(const std::vector<std::string>& args, const LineSink& out, const LineSink& err,
                                 const std::atomic<bool>& cancel) {
    TarOutcome outcome;
    int outPipe[2], errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0) return {2, false, false, std::strerror(errno)};
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        const int e = errno;
        close(outPipe[0]);
        close(outPipe[1]);
        return {2, false, false, std::strerror(e)};
    }

    std::vector<std::string> argvStrings{program_};
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argvStrings) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    // tar must not take over our own handling of Ctrl+C: we end it ourselves.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    pid_t pid = 0;
    const int spawnError = posix_spawnp(&pid, program_.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    close(outPipe[1]);
    close(errPipe[1]);
    if (spawnError != 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        return {2, false, false, program_ + ": " + std::strerror(spawnError)};
    }

    // Set at once after the start: tar has done nothing worth speaking of by then.
    if (niceness_ > 0) setpriority(PRIO_PROCESS, static_cast<id_t>(pid), niceness_);

    fcntl(outPipe[0], F_SETPIPE_SZ, kPipeSize);  // a smaller pipe only means more wake-ups
    fcntl(errPipe[0], F_SETPIPE_SZ, kPipeSize);
    LineSplitter outLines(out), errLines(err);
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    LineSplitter* splitters[2] = {&outLines, &errLines};
    int open = 2;
    bool killed = false;
    // Not cleared first: only what a read fills is ever touched.
    const std::unique_ptr<char[]> buffer(new char[kReadSize]);
    while (open > 0) {
        if (cancel.load() && !killed) {
            kill(pid, SIGTERM);
            killed = true;
        }
        // A short wait, so that a cancel request is seen while tar is quiet.
        const int ready = poll(fds, 2, 100);
        if (ready < 0 && errno != EINTR) break;
        std::size_t got = 0;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const ssize_t n = read(fds[i].fd, buffer.get(), kReadSize);
            if (n > 0) {
                splitters[i]->feed(buffer.get(), static_cast<std::size_t>(n));
                got += static_cast<std::size_t>(n);
            } else if (n == 0 || errno != EINTR) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
        if (got > 0 && got < kLittle && open > 0) {
            const timespec nap{0, kNapNanoseconds};
            nanosleep(&nap, nullptr);
        }
    }
    for (auto& fd : fds)
        if (fd.fd >= 0) close(fd.fd);
    outLines.flush();
    errLines.flush();

    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.cancelled = killed;
    outcome.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 2;
    return outcome;
}

}  // namespace kelvaro::ntbackup
