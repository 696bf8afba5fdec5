#pragma once
// Real tar on real temporary trees: a drive map with c: and d:, the program's
// data folder, and a tar runner that lets a test step in between tar calls.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <thread>

#include "ntbackup/BackupRun.h"
#include "ntbackup/RestoreRun.h"
#include "ntbackup/Tape.h"
#include "ntbackup/posix/FlockTapeLock.h"
#include "ntbackup/posix/ProcessTarRunner.h"
#include "platform/linux/DriveMap.h"
#include "platform/linux/WindowsCommandLine.h"
#include "tests/linux/TempFolder.h"

namespace kelvaro::ntbackup::test {

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::writeFile;

// Real tar; `before` sees each call's arguments first (to damage an archive, to
// cancel); `rewrite` may change them (to write to a full disk).
class SteppedTar : public TarRunner {
public:
    std::function<void(const std::vector<std::string>&)> before;
    std::function<void(std::vector<std::string>&)> rewrite;
    TarOutcome run(const std::vector<std::string>& args, const LineSink& out, const LineSink& err,
                   const std::atomic<bool>& cancel) override {
        if (before) before(args);
        auto changed = args;
        if (rewrite) rewrite(changed);
        return real_.run(changed, out, err, cancel);
    }

private:
    ProcessTarRunner real_;
};

struct Recorder : RunObserver {
    std::vector<std::string> phases, exceptions, notices;
    void phase(const std::string& t) override { phases.push_back(t); }
    void exception(const std::string& t) override { exceptions.push_back(t); }
    void notice(const std::string& t) override { notices.push_back(t); }
    void progress(const Counts& done, const Counts& total, bool known) override {
        if (onProgress) onProgress(done, total, known);
    }
    std::function<void(const Counts&, const Counts&, bool)> onProgress;
};

class NtbackupTest : public ::testing::Test {
protected:
    NtbackupTest() : drives(tmp / "dosdevices") {
        fs::create_directories(c());
        fs::create_directories(d());
        fs::create_directories(tmp / "dosdevices");
        fs::create_symlink(c(), tmp / "dosdevices/c:");
        fs::create_symlink(d(), tmp / "dosdevices/d:");
    }

    std::string c() const { return tmp / "c"; }
    std::string d() const { return tmp / "d"; }
    std::string xdgDataHome() const { return tmp / "xdg"; }
    std::string data() const { return dataFolder(xdgDataHome(), ""); }
    std::string tape(int n = 1) const { return data() + "/tapes/" + std::to_string(n); }

    // The arguments as the scheduler's process start hands them over; "Backup"
    // unless the line asks for a restore.
    RunResult run(const std::string& commandLine) {
        const std::string operation = commandLine.starts_with("Restore") ? "" : "Backup ";
        auto args = linuxp::splitWindowsCommandLine("NTBackup.exe " + operation + commandLine);
        args.erase(args.begin());
        auto parsed = parseRequest(args);
        if (auto* bad = std::get_if<BadCommandLine>(&parsed)) return {2, bad->message};
        auto onProgress = std::move(observer.onProgress);
        observer = Recorder{};
        observer.onProgress = std::move(onProgress);
        cancel = false;
        RunContext ctx{tar, tar, lock, drives, data(), {}, registry, clock, cancel, observer};
        const Request& r = std::get<Request>(parsed);
        if (r.operation == Operation::Restore) return runRestore(r, ctx);
        return runBackup(r, ctx);
    }

    std::vector<BackupSet> sets(int n = 1) const { return Tape(tape(n), n).sets(); }

    // Member names of an archive on the tape, files only (no folders), sorted.
    std::vector<std::string> filesIn(const BackupSet& set, const std::string& drive) {
        std::vector<std::string> names;
        ProcessTarRunner t;
        std::atomic<bool> no{false};
        const auto file = Tape(tape(), 1).setFolder(set.number) + "/" + set.archiveOf(drive)->file;
        t.run({"--list", "--file=" + file, "--listed-incremental=/dev/null"},
              [&](const std::string& n) { if (!n.ends_with("/")) names.push_back(n); }, nullptr, no);
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string markOf(char drive) const { return readFile(data() + "/marks/" + std::string(1, drive) + ".snar"); }

    testsupport::TempFolder tmpFolder;
    fs::path tmp{tmpFolder.path()};
    linuxp::DriveMap drives;
    SteppedTar tar;
    FlockTapeLock lock;
    std::string registry = "/nonexistent";
    std::function<std::time_t()> clock = [] { return std::time(nullptr); };
    std::atomic<bool> cancel{false};
    Recorder observer;
};

// A tree as a map from relative path to what it is: "dir", "link:<target>" or the file's bytes.
inline std::map<std::string, std::string> treeOf(const std::string& root) {
    std::map<std::string, std::string> out;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const auto rel = fs::relative(it->path(), root).string();
        if (it->is_symlink()) out[rel] = "link:" + fs::read_symlink(it->path()).string();
        else if (it->is_directory()) out[rel] = "dir";
        else out[rel] = readFile(it->path());
    }
    return out;
}

// Moves a file's modification time back, so that it counts as older than a mark or today.
inline void age(const std::string& path, int days) {
    const auto when = fs::last_write_time(path) - std::chrono::hours(24 * days);
    fs::last_write_time(path, when);
}

}  // namespace kelvaro::ntbackup::test
