#include "platform/linux/LinuxProcessStarter.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/linux/PosixErrors.h"
#include "platform/linux/WindowsCommandLine.h"

extern char** environ;

namespace kelvaro::linuxp {

namespace {

std::string lowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string baseName(const std::string& p) {
    const auto cut = p.find_last_of("\\/");
    return cut == std::string::npos ? p : p.substr(cut + 1);
}

// Windows finds programs without regard to case and with or without ".exe".
bool isProgram(const std::string& program, const std::string& name) {
    const std::string base = lowerAscii(baseName(program));
    return base == name || base == name + ".exe";
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// PATH search as execvp does it, save one thing: only absolute entries count. An
// empty or relative entry would mean whatever folder the program was started
// from, and a file of that name lying there must never be run. The first
// executable regular file wins; when only files that may not be executed were
// met, the failure is EACCES, else ENOENT.
std::optional<std::string> findOnPath(const std::string& name, int& error) {
    error = ENOENT;
    if (name.empty()) return std::nullopt;
    const char* env = std::getenv("PATH");
    const std::string path = env ? env : "/usr/local/bin:/usr/bin:/bin";
    bool denied = false;
    std::size_t from = 0;
    for (;;) {
        const std::size_t colon = path.find(':', from);
        const std::string dir = path.substr(from, colon == std::string::npos ? std::string::npos : colon - from);
        const std::string candidate = dir + "/" + name;
        struct stat st {};
        if (dir.empty() || dir[0] != '/') {
        } else if (stat(candidate.c_str(), &st) == 0) {
            if (S_ISREG(st.st_mode)) {
                if (access(candidate.c_str(), X_OK) == 0) return candidate;
                denied = true;
            }
        } else if (errno == EACCES) {
            denied = true;
        }
        if (colon == std::string::npos) break;
        from = colon + 1;
    }
    if (denied) error = EACCES;
    return std::nullopt;
}

std::string trimBlanks(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

std::vector<char*> cStrings(std::vector<std::string>& strings) {
    std::vector<char*> out;
    out.reserve(strings.size() + 1);
    for (auto& s : strings) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

void writeErrno(int fd, int err) {
    if (write(fd, &err, sizeof err) < 0) {
        // Nothing left to tell the parent with.
    }
}

// Runs in the grandchild, between fork and exec: async-signal-safe calls only.
[[noreturn]] void execDetached(const char* path, char* const* argv, char* const* envp,
                               int errorFd, int maxFd) {
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    for (int sig = 1; sig < NSIG; ++sig) sigaction(sig, &dfl, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);

    const int devnull = open("/dev/null", O_RDONLY);
    if (devnull < 0 || dup2(devnull, 0) < 0) {
        writeErrno(errorFd, errno);
        _exit(127);
    }
    if (devnull > 2) close(devnull);

    // Everything above stderr goes, except the error pipe, which closes on exec.
    bool closed = true;
    if (errorFd > 3 && close_range(3, static_cast<unsigned>(errorFd - 1), 0) != 0) closed = false;
    if (closed && close_range(static_cast<unsigned>(errorFd + 1), ~0U, 0) != 0) closed = false;
    if (!closed)
        for (int fd = 3; fd < maxFd; ++fd)
            if (fd != errorFd) close(fd);

    execve(path, argv, envp);
    writeErrno(errorFd, errno);
    _exit(127);
}

// Runs in the middle process (async-signal-safe calls only): waits a moment for
// a viewer and passes a failing exit status on, negated, after anything the
// program itself wrote (an exec failure comes first).
void passOnEarlyFailure(pid_t program, int errorFd, int watchMs) {
    for (int waited = 0; waited <= watchMs; waited += 20) {
        int status = 0;
        const pid_t done = waitpid(program, &status, WNOHANG);
        if (done == program) {
            const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            if (code != 0) writeErrno(errorFd, -code);
            return;
        }
        if (done < 0 && errno != EINTR) return;
        const timespec step{0, 20 * 1000 * 1000};
        nanosleep(&step, nullptr);
    }
}

}  // namespace

LinuxProcessStarter::LinuxProcessStarter(const DriveMap& drives, std::vector<std::string> helpFolders,
                                         std::vector<std::string> helperFolders)
    : drives_(drives), helpFolders_(std::move(helpFolders)), helperFolders_(std::move(helperFolders)) {}

LinuxProcessStarter::Resolved LinuxProcessStarter::resolve(const std::string& commandLine) const {
    const auto args = splitWindowsCommandLine(commandLine);
    if (args.empty() || args[0].empty()) return {std::nullopt, ENOENT};
    const std::string& program = args[0];
    int error = 0;

    if (isProgram(program, "notepad")) {
        // Notepad takes the whole rest of its line as one file name, blanks and all.
        std::string file = trimBlanks(windowsCommandTail(commandLine));
        if (file.size() >= 2 && file.front() == '"' && file.back() == '"') file = file.substr(1, file.size() - 2);
        if (file.empty()) return {std::nullopt, ENOENT};
        const auto posix = drives_.toPosix(file);
        if (!posix) return {std::nullopt, ENOENT};
        const auto viewer = findOnPath("xdg-open", error);
        if (!viewer) return {std::nullopt, error};
        return {Plan{*viewer, {"xdg-open", *posix}, true}, 0};
    }

    if (isProgram(program, "winhlp32")) {
        if (args.size() < 2) return {std::nullopt, ENOENT};
        std::string name = baseName(args[1]);
        const std::string lname = lowerAscii(name);
        if (lname.size() > 4 && lname.compare(lname.size() - 4, 4, ".hlp") == 0)
            name = name.substr(0, name.size() - 4) + ".html";
        for (const auto& folder : helpFolders_) {
            const std::string candidate = folder + "/" + name;
            if (!isRegularFile(candidate)) continue;
            std::error_code ec;
            const auto absolute = std::filesystem::absolute(candidate, ec);
            const auto viewer = findOnPath("xdg-open", error);
            if (!viewer) return {std::nullopt, error};
            return {Plan{*viewer, {"xdg-open", ec ? candidate : absolute.lexically_normal().string()}, true}, 0};
        }
        return {std::nullopt, ENOENT};
    }

    std::string path;
    if (program.find('/') != std::string::npos) {
        path = program;
    } else if (program.find('\\') != std::string::npos || (program.size() >= 2 && program[1] == ':')) {
        const auto posix = drives_.toPosix(program);
        if (!posix) return {std::nullopt, ENOENT};
        path = *posix;
    } else {
        auto found = findOnPath(program, error);
        for (std::size_t i = 0; !found && i < helperFolders_.size(); ++i) {
            const std::string candidate = helperFolders_[i] + "/" + program;
            if (isRegularFile(candidate) && access(candidate.c_str(), X_OK) == 0) found = candidate;
        }
        if (!found) return {std::nullopt, error};
        path = *found;
    }
    return {Plan{path, args}, 0};
}

std::optional<platform::SystemError> LinuxProcessStarter::start(const std::string& commandLine,
                                                               platform::ShowState show) {
    auto resolved = resolve(commandLine);
    if (!resolved.plan) return systemErrorFromErrno(resolved.error);
    Plan& plan = *resolved.plan;

    // Everything the child needs is built here: after fork in a threaded process
    // only async-signal-safe calls are allowed.
    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e) {
        const std::string_view entry(*e);
        if (entry.starts_with("KELVARO_COMMAND_LINE=") || entry.starts_with("KELVARO_SHOW_STATE=")) continue;
        env.emplace_back(entry);
    }
    env.push_back("KELVARO_COMMAND_LINE=" + commandLine);
    env.push_back("KELVARO_SHOW_STATE=" + std::to_string(static_cast<int>(show)));
    auto argv = cStrings(plan.argv);
    auto envp = cStrings(env);

    rlimit lim {};
    int maxFd = 1024;
    if (getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY && lim.rlim_cur < (1u << 20))
        maxFd = static_cast<int>(lim.rlim_cur);

    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return systemErrorFromErrno(errno);
    // With a standard stream closed the pipe could land on 0..2, where the child's
    // own stdin setup would overwrite it.
    for (int& fd : pipeFds) {
        if (fd > 2) continue;
        const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
        if (moved < 0) {
            const int err = errno;
            close(pipeFds[0]);
            close(pipeFds[1]);
            return systemErrorFromErrno(err);
        }
        close(fd);
        fd = moved;
    }

    const pid_t middle = fork();
    if (middle < 0) {
        const int err = errno;
        close(pipeFds[0]);
        close(pipeFds[1]);
        return systemErrorFromErrno(err);
    }
    if (middle == 0) {
        // The middle process gives the program its own session and leaves at once,
        // so the program is adopted by init and never becomes our zombie.
        close(pipeFds[0]);
        setsid();
        const pid_t program = fork();
        if (program < 0) {
            writeErrno(pipeFds[1], errno);
            _exit(1);
        }
        if (program > 0) {
            if (plan.viewer) passOnEarlyFailure(program, pipeFds[1], kViewerWatchMs);
            _exit(0);
        }
        execDetached(plan.path.c_str(), argv.data(), envp.data(), pipeFds[1], maxFd);
    }

    close(pipeFds[1]);
    int status = 0;
    while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    // End of file means exec succeeded (the pipe closes on exec); otherwise the errno.
    int childErrno = 0;
    ssize_t n;
    do {
        n = read(pipeFds[0], &childErrno, sizeof childErrno);
    } while (n < 0 && errno == EINTR);
    close(pipeFds[0]);
    if (n == static_cast<ssize_t>(sizeof childErrno)) {
        if (childErrno < 0)
            return platform::SystemError{-childErrno, "The viewer could not open the file (exit status " +
                                                          std::to_string(-childErrno) + ")."};
        return systemErrorFromErrno(childErrno);
    }
    return std::nullopt;
}

}  // namespace kelvaro::linuxp
