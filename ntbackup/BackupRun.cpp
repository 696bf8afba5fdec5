#include "ntbackup/BackupRun.h"

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <optional>

#include "ntbackup/DriveTree.h"
#include "ntbackup/Archiver.h"
#include "ntbackup/Marks.h"
#include "ntbackup/RunLog.h"
#include "ntbackup/Tape.h"
#include "ntbackup/TarOutput.h"
#include "ntbackup/Text.h"

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

std::time_t localMidnight(std::time_t t) {
    std::tm tm {};
    localtime_r(&t, &tm);
    tm.tm_hour = tm.tm_min = tm.tm_sec = 0;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

std::string canonicalOr(const std::string& p) {
    std::error_code ec;
    const auto c = fs::canonical(p, ec);
    return ec ? p : c.string();
}

// One folder to archive: a drive, or the machine's configuration.
struct Source {
    std::string name;    // "c", or "registry"
    std::string label;   // "drive c: [/home/alice]", "the local registry (/etc)"
    std::string folder;
};

class BackupJob {
public:
    BackupJob(const Request& r, RunContext& c)
        : req_(r), ctx_(c), tape_(c.tapeFolder(r.tape), r.tape), marks_(c.marksFolder()),
          work_(c.marksFolder() + "/.run-" + std::to_string(r.tape)) {}

    RunResult run() {
        start_ = ctx_.now();
        openLog();
        // Sets hold copies of private files: the folder they live in is the user's alone.
        std::error_code ec;
        if (!fs::exists(ctx_.dataFolder, ec)) {
            fs::create_directories(fs::path(ctx_.dataFolder).parent_path(), ec);
            if (fs::create_directory(ctx_.dataFolder, ec)) fs::permissions(ctx_.dataFolder, fs::perms::owner_all, ec);
        }
        if (auto e = tape_.prepare(); !e.empty()) return fail(e);
        const auto waiting = [&] {
            ctx_.observer.notice("Tape " + std::to_string(req_.tape) + " is in use by another backup run: waiting for it to end.");
        };
        if (auto e = ctx_.lock.acquire(tape_.folder(), waiting, ctx_.cancel); !e.empty())
            return ctx_.cancel.load() ? cancelled() : fail(e);
        if (auto e = tape_.clearStaging(); !e.empty()) return fail(e);
        fs::remove_all(work_, ec);
        fs::create_directories(work_, ec);
        if (ec) return fail("The folder " + work_ + " cannot be made: " + ec.message());

        set_.number = tape_.nextNumber();
        set_.date = localStamp(start_);
        set_.type = req_.type;
        set_.description = req_.description;
        writeHeader();

        collectSources();
        if (sources_.empty()) return fail("None of the selected drives exists.");
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
        if (req_.restrict) restrictAccess();
        if (ctx_.cancel.load()) return cancelled();

        set_.exceptions = exceptions_;
        set_.verified = req_.verify;
        if (auto e = tape_.commit(set_); !e.empty()) return fail(e);
        finishAfterCommit();
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

    void collectSources() {
        for (char d : req_.drives) {
            const std::string letter(1, d);
            const auto folder = ctx_.drives.target(d);
            if (!folder) {
                exception("Drive " + letter + ": does not exist: no link " + letter + ": in " + ctx_.drives.root() +
                          " leads to a folder.");
                continue;
            }
            sources_.push_back({letter, "drive " + letter + ": [" + *folder + "]", canonicalOr(*folder)});
        }
        if (req_.registry)
            sources_.push_back({"registry", "the local registry (" + ctx_.registryFolder + ")", ctx_.registryFolder});
    }

    std::string snapshotOf(const Source& s) const { return work_ + "/" + s.name + ".snar"; }

    // Every source's archive, with its listing running ahead (see Archiver).
    std::string archiveAll() {
        std::vector<ArchiveWork> work;
        for (const auto& s : sources_) {
            const bool letter = s.name.size() == 1;
            ArchiveWork w{s.label, s.name, s.folder, tape_.staging() + "/" + s.name + (req_.compress ? ".tar.zst" : ".tar"),
                          req_.compress, {}, {}, exclusionsUnder(s.folder, leaveOut_)};
            if (req_.type == BackupType::Daily && letter)
                w.listSelect.push_back("--newer-mtime=@" + std::to_string(localMidnight(start_)));
            w.archiveSelect = w.listSelect;
            if (letter && startsFromMark(req_.type)) {
                // Each tar gets its own copy of the mark: both write to it.
                std::error_code ec;
                if (const auto mark = marks_.snapshot(s.name[0], s.folder)) {
                    fs::copy_file(*mark, snapshotOf(s), fs::copy_options::overwrite_existing, ec);
                    if (!ec) fs::copy_file(*mark, snapshotOf(s) + ".list", fs::copy_options::overwrite_existing, ec);
                }
                if (ec) return "The mark of " + s.label + " cannot be read: " + ec.message();
                w.listSelect.push_back("--listed-incremental=" + snapshotOf(s) + ".list");
                w.archiveSelect.push_back("--listed-incremental=" + snapshotOf(s));
            } else if (letter && setsMark(req_.type)) {
                w.listSelect.push_back("--listed-incremental=" + snapshotOf(s));
            }
            work.push_back(std::move(w));
        }

        Archiver archiver(ctx_.tar, ctx_.lister, ctx_.cancel,
                          {[this](const std::string& t) { ctx_.observer.phase(t); },
                           [this](const std::string& line) {
                               std::lock_guard lock(mutex_);
                               log_.file(line);
                           },
                           [this](const std::string& t) { exception(t); },
                           [this](const std::string& t) {
                               std::lock_guard lock(mutex_);
                               log_.header("Note: " + t);
                           },
                           [this](const Counts& done, const Counts& total, bool known) {
                               ctx_.observer.progress(done, total, known);
                           }});
        const auto outcomes = archiver.run(work);
        for (std::size_t k = 0; k < outcomes.size(); ++k) {
            const auto& o = outcomes[k];
            if (o.cancelled) return "Cancelled.";
            if (!o.error.empty()) return o.error;
            const Source& s = sources_[k];
            const bool letter = s.name.size() == 1;
            // Without its listing the set still has the archive, but a Normal run no new mark.
            if (o.listingFailed) {
                if (letter && req_.type == BackupType::Normal) unmarked_.push_back(s.name[0]);
                exception(s.name + ": the files could not be listed" +
                          (letter && req_.type == BackupType::Normal ? "; the mark stays where it was." : "."));
            }
            set_.archives.push_back({s.name, work[k].file.substr(work[k].file.rfind('/') + 1), s.folder,
                                     letter && startsFromMark(req_.type), o.counts.files, o.counts.bytes});
        }
        if (outcomes.size() < sources_.size()) return "Cancelled.";
        return {};
    }

    void verify(const Source& s, const ArchiveEntry& entry) {
        ctx_.observer.phase("Verifying " + s.label);
        const std::string file = tape_.staging() + "/" + entry.file;
        int before = exceptions_;
        std::vector<std::string> args{"--compare", "--file=" + file, "--directory=" + s.folder};
        // Excluded paths were never archived: nothing to compare there either.
        args.insert(args.end(), {"--no-wildcards", "--anchored"});
        for (const auto& x : exclusionsUnder(s.folder, leaveOut_)) args.push_back("--exclude=" + x);
        const auto report = [&](const std::string& line) {
            const TarNote note = classifyTarError(line, "");
            if (note.text.find("Exiting with failure status") != std::string::npos) return;
            exception(s.name + ": verify: " + note.text);
        };
        const auto outcome = ctx_.tar.run(args, report, report, ctx_.cancel);
        if (!outcome.started) exception(s.name + ": verify: tar cannot be started: " + outcome.startError);
        else if (outcome.exitStatus != 0 && exceptions_ == before && !outcome.cancelled)
            exception(s.name + ": verify: the archive cannot be read back (tar status " +
                      std::to_string(outcome.exitStatus) + ")");
        verifyDifferences_ += exceptions_ - before;
    }

    void restrictAccess() {
        std::error_code ec;
        fs::permissions(tape_.staging(), fs::perms::owner_all, ec);
        for (const auto& e : fs::recursive_directory_iterator(tape_.staging(), ec))
            fs::permissions(e.path(), e.is_directory() ? fs::perms::owner_all : fs::perms::owner_read | fs::perms::owner_write, ec);
    }

    void finishAfterCommit() {
        if (setsMark(req_.type))
            for (const auto& s : sources_)
                if (s.name.size() == 1 && std::find(unmarked_.begin(), unmarked_.end(), s.name[0]) == unmarked_.end())
                    if (auto e = marks_.set(s.name[0], s.folder, snapshotOf(s)); !e.empty()) exception(e);
        std::error_code ec;
        fs::remove_all(work_, ec);
        if (!req_.append) {
            if (verifyDifferences_ == 0) {
                ctx_.observer.phase("Replacing the old sets");
                if (auto e = tape_.removeSetsBefore(set_.number); !e.empty()) exception("Old sets not removed: " + e);
            } else {
                log_.header("The earlier sets on the tape were kept: verification found differences.");
            }
        }
        if (auto e = tape_.writeCatalog(); !e.empty()) exception("The catalog: " + e);
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
        std::error_code ec;
        fs::remove_all(tape_.staging(), ec);
        fs::remove_all(work_, ec);
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
    std::string work_;  // the run's snapshots until they become marks
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
