#include "ntbackup/posix/Program.h"

#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <ctime>

#include "ntbackup/BackupRun.h"
#include "ntbackup/DriveTree.h"
#include "ntbackup/ListRun.h"
#include "ntbackup/RestoreRun.h"
#include "ntbackup/Tape.h"
#include "ntbackup/posix/FlockTapeLock.h"
#include "ntbackup/posix/ProcessTarRunner.h"
#include "platform/linux/DriveMap.h"

namespace kelvaro::ntbackup {

namespace {

std::atomic<bool>* signalFlag = nullptr;
std::atomic<bool> signalled{false};

extern "C" void onSignal(int) {
    signalled.store(true);
    if (signalFlag) signalFlag->store(true);
}

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string home() {
    if (auto h = env("HOME"); !h.empty()) return h;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

}  // namespace

void cancelOnSignals(std::atomic<bool>& flag) {
    signalFlag = &flag;
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

bool signalReceived() { return signalled.load(); }

namespace {

// A run's surroundings on this machine, for as long as the run goes.
struct Machine {
    ProcessTarRunner tar;
    FlockTapeLock lock;
    const linuxp::DriveMap drives;
    ProcessTarRunner lister{"tar", 10};
    RunContext context(RunObserver& observer, const std::atomic<bool>& cancel) {
        return {tar,
                lister,
                lock,
                drives,
                dataFolder(env("XDG_DATA_HOME"), home()),
                virtualMountPoints("/proc/self/mounts"),
                "/etc",
                [] { return std::time(nullptr); },
                cancel,
                observer};
    }
};

}  // namespace

RunResult runOnThisMachine(const Request& request, RunObserver& observer, const std::atomic<bool>& cancel,
                           std::string& printed) {
    Machine machine;
    RunContext ctx = machine.context(observer, cancel);
    switch (request.operation) {
    case Operation::Backup: return runBackup(request, ctx);
    case Operation::Restore: return runRestore(request, ctx);
    case Operation::List: return runList(request, ctx, printed);
    }
    return {2, ""};
}

std::string tapesFolderOnThisMachine() { return dataFolder(env("XDG_DATA_HOME"), home()) + "/tapes"; }

std::unique_ptr<TarRunner> tarOnThisMachine() { return std::make_unique<ProcessTarRunner>(); }

std::optional<std::string> drivePlaceOnThisMachine(char letter) { return linuxp::DriveMap().target(letter); }

std::optional<Notification> notificationOnThisMachine(const std::variant<Request, BadCommandLine>& parsed,
                                                      const RunResult& result, int exceptions,
                                                      const std::string& firstException) {
    const auto* request = std::get_if<Request>(&parsed);
    std::optional<RunLogFile> log;
    if (request && request->logFile && result.status != 0) {
        std::error_code ec;
        if (const auto path = linuxp::DriveMap().toPosix(*request->logFile);
            path && std::filesystem::is_regular_file(*path, ec))
            log = RunLogFile{*request->logFile, *path};
    }
    return notificationFor(request ? request->operation : Operation::Backup, result, exceptions, firstException, log);
}

bool sessionBusOnThisMachine() {
    if (!env("DBUS_SESSION_BUS_ADDRESS").empty()) return true;
    const std::string runtime = env("XDG_RUNTIME_DIR");
    std::error_code ec;
    return !runtime.empty() && std::filesystem::exists(runtime + "/bus", ec);
}

RunResult restoreOnThisMachine(const SelectionRestore& what, RunObserver& observer, const std::atomic<bool>& cancel) {
    Machine machine;
    RunContext ctx = machine.context(observer, cancel);
    return restoreSelection(what, ctx);
}

}  // namespace kelvaro::ntbackup
