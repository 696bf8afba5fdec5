#include "ntbackup/BackupRun.h"

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <optional>

#include "ntbackup/Archiver.h"
#include "ntbackup/BackupScope.h"
#include "ntbackup/DriveTree.h"
#include "ntbackup/Marks.h"
#include "ntbackup/RunLog.h"
#include "ntbackup/SetArchives.h"
#include "ntbackup/SetPlacement.h"
#include "ntbackup/Tape.h"
#include "ntbackup/TarOutput.h"
#include "ntbackup/Text.h"
#include "ntbackup/Verify.h"

namespace kelvaro::ntbackup {

namespace fs = std::filesystem;

std::string localStamp(std::time_t t) {
    std::tm tm {};
    localtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    return text;
}

namespace {

std::string canonicalOr(const std::string& p) {
    std::error_code ec;
    const auto c = fs::canonical(p, ec);
    return ec ? p : c.string();
}

class BackupJob {
public:
    BackupJob(const Request& r, RunContext& c)
        : req_(r), ctx_(c), tape_(c.tapeFolder(r.tape), r.tape), marks_(c.marksFolder()),
          place_(tape_, marks_, {c.marksFolder() + "/.run-" + std::to_string(r.tape)}),
          snapshots_(place_.snapshots()) {}

    RunResult run() {
        start_ = ctx_.now();
        openLog();
        // Sets hold copies of private files: the folder they live in is the user's alone.
        std::error_code ec;
        if (!fs::exists(ctx_.dataFolder, ec)) {
            fs::create_directories(fs::path(ctx_.dataFolder).parent_path(), ec);
            if (fs::create_directory(ctx_.dataFolder, ec)) fs::permissions(ctx_.dataFolder, fs::perms::owner_all, ec);
        }
        const auto waiting = [&](const std::string&) {
            ctx_.observer.notice("Tape " + std::to_string(req_.tape) + " is in use by another backup run: waiting for it to end.");
        };
        if (auto e = place_.open(ctx_.lock, waiting, ctx_.cancel); !e.empty())
            return ctx_.cancel.load() ? cancelled() : fail(e);

        set_.number = tape_.nextNumber();
        set_.date = localStamp(start_);
        set_.type = req_.type;
        set_.description = req_.description;
        writeHeader();

        sources_ = collectSources(req_, ctx_.drives, ctx_.registryFolder, [this](const std::string& t) { exception(t); });
        if (sources_.empty()) return fail("None of the selected drives exists.");
        planChains();
        leaveOut_ = {canonicalOr(ctx_.dataFolder), canonicalOr(tape_.folder())};
        // The run's own log grows while the run reads it: it would never verify.
        if (!logPath_.empty()) leaveOut_.push_back(canonicalOr(logPath_));
        leaveOut_.insert(leaveOut_.end(), ctx_.virtualMounts.begin(), ctx_.virtualMounts.end());

        if (auto e = archiveAll(); !e.empty()) return ctx_.cancel.load() ? cancelled() : fail(e);
        if (req_.verify)
            for (std::size_t i = 0; i < sources_.size(); ++i) {
                if (ctx_.cancel.load()) return cancelled();
                verify(sources_[i], set_.archives[i]);
            }
        if (req_.restrict) place_.restrict();
        if (ctx_.cancel.load()) return cancelled();

        set_.exceptions = exceptions_;
        set_.verified = req_.verify;
        if (auto e = place_.commit(set_); !e.empty()) return fail(e);
        if (!req_.append && verifyDifferences_ > 0)
            log_.header("The earlier sets on the tape were kept: verification found differences.");
        place_.settle(set_, req_.type, !req_.append && verifyDifferences_ == 0, sources_, unmarked_,
                      [this](const std::string& t) { ctx_.observer.phase(t); },
                      [this](const std::string& t) { exception(t); });
        return finish();
    }

private:
    void openLog() {
        if (!req_.logFile) return;
        const auto path = ctx_.drives.toPosix(*req_.logFile);
        const std::string error = path ? log_.open(*path, req_.exceptionsOnly) : "no drive letter leads to it";
        if (error.empty()) logPath_ = *path;
        if (!error.empty())
            ctx_.observer.notice("The log file " + *req_.logFile + (path ? " (" + *path + ")" : "") +
                                 " cannot be written: " + error + ". The backup goes on without a log.");
    }

    void writeHeader() {
        std::string drives;
        for (char d : req_.drives) drives += (drives.empty() ? "" : " ") + std::string(1, d) + ":";
        log_.header("================================================================");
        log_.header("Backup started " + set_.date + " on tape " + std::to_string(req_.tape) + ", set " +
                    std::to_string(set_.number));
        log_.header("Type: " + std::string(typeName(req_.type)) + "   Description: " + escapeLine(req_.description));
        log_.header("Drives: " + drives + (req_.registry ? " and the local registry" : "") +
                    (req_.verify ? "   Verify: yes" : "") + (req_.compress ? "   Compressed: yes" : "") +
                    (req_.append ? "   Append" : "   Replace"));
    }

    void exception(const std::string& text) {
        std::lock_guard lock(mutex_);
        ++exceptions_;
        log_.exception(text);
        ctx_.observer.exception(text);
    }

    // How much of each drive this run takes, and why it takes every file when it does.
    void planChains() {
        const auto onTape = tape_.sets();
        const auto whole = [this](const BackupSet& set, const ArchiveEntry& a) { return tape_.archiveWhole(set, a); };
        for (auto& s : sources_) {
            if (!s.isDrive()) continue;
            s.plan = planDrive(req_.type, req_.append, s.name[0], req_.tape, marks_.chain(s.name[0], s.folder), onTape, whole);
            if (s.plan.note.empty()) continue;
            set_.notes.push_back(s.plan.note);
            log_.header("Note: " + s.plan.note);
            ctx_.observer.notice(s.plan.note);
        }
    }

    // Every source's archive, with its listing running ahead (see Archiver).
    std::string archiveAll() {
        Archiver::Hooks hooks{[this](const std::string& t) { ctx_.observer.phase(t); },
                              [this](const std::string& line) {
                                  std::lock_guard lock(mutex_);
                                  log_.file(line);
                              },
                              nullptr,
                              nullptr,
                              [this](const std::string& t) { exception(t); },
                              [this](const std::string& t) {
                                  std::lock_guard lock(mutex_);
                                  log_.header("Note: " + t);
                              },
                              [this](const Counts& done, const Counts& total, bool known) {
                                  ctx_.observer.progress(done, total, known);
                              },
                              nullptr};
        auto written = writeArchives({req_, sources_, marks_, snapshots_, place_.staging(), start_, leaveOut_}, ctx_, hooks);
        set_.archives = std::move(written.archives);
        unmarked_ = std::move(written.unmarked);
        return written.error;
    }

    void verify(const Source& s, const ArchiveEntry& entry) {
        ctx_.observer.phase("Verifying " + s.label);
        const std::string folder = tape_.staging() + "/";
        const int before = exceptions_;
        verifyArchive({folder + entry.file, s.folder, exclusionsUnder(s.folder, leaveOut_), start_},
                      ctx_.tar, ctx_.cancel, [&](const std::string& text) { exception(s.name + ": " + text); });
        verifyDifferences_ += exceptions_ - before;
    }

    RunResult finish() {
        const std::string totals = "Totals: " + groupedNumber(set_.files()) + " files, " + groupedNumber(set_.bytes()) +
                                   " bytes in set " + std::to_string(set_.number) + " on tape " +
                                   std::to_string(req_.tape) + ".";
        RunResult r{exceptions_ == 0 ? 0 : 1, ""};
        r.text = exceptions_ == 0 ? "Backup done." : "Backup done with " + std::to_string(exceptions_) +
                                                        (exceptions_ == 1 ? " exception." : " exceptions.");
        log_.footer(totals);
        log_.footer("Result: " + r.text);
        log_.footer("Backup ended " + localStamp(ctx_.now()));
        ctx_.observer.finished(r);
        return r;
    }

    RunResult endWithout(const std::string& text) {
        place_.discard();
        log_.footer("Result: " + text + " Nothing was kept and no mark was changed.");
        log_.footer("Backup ended " + localStamp(ctx_.now()));
        const RunResult r{2, text};
        ctx_.observer.finished(r);
        return r;
    }
    RunResult fail(const std::string& why) { return endWithout("Backup failed: " + why); }
    RunResult cancelled() { return endWithout("Backup cancelled."); }

    const Request& req_;
    RunContext& ctx_;
    Tape tape_;
    Marks marks_;
    SetPlacement place_;
    const Snapshots& snapshots_;  // the run's snapshots until they become marks
    RunLog log_;
    std::string logPath_;
    BackupSet set_;
    std::vector<Source> sources_;
    std::vector<std::string> leaveOut_;
    std::time_t start_ = 0;
    std::mutex mutex_;  // the listing and the archive report from two threads
    std::vector<char> unmarked_;  // drives whose listing failed: no new mark
    int exceptions_ = 0;
    int verifyDifferences_ = 0;
};

}  // namespace

RunResult runBackup(const Request& request, RunContext& ctx) {
    if (request.drives.empty()) {
        const RunResult r{2, "No drives are selected for backup."};
        ctx.observer.finished(r);
        return r;
    }
    return BackupJob(request, ctx).run();
}

}  // namespace kelvaro::ntbackup
