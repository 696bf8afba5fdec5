#include "ntbackup/BackupRun.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>

#include "ntbackup/Archiver.h"
#include "ntbackup/BackupScope.h"
#include "ntbackup/DriveTree.h"
#include "ntbackup/FileIndex.h"
#include "ntbackup/SnapshotFile.h"
#include "ntbackup/Marks.h"
#include "ntbackup/RunLog.h"
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
          snapshots_{c.marksFolder() + "/.run-" + std::to_string(r.tape)} {}

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
        fs::remove_all(snapshots_.folder, ec);
        fs::create_directories(snapshots_.folder, ec);
        if (ec) return fail("The folder " + snapshots_.folder + " cannot be made: " + ec.message());

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
        std::vector<ArchiveWork> work;
        for (const auto& s : sources_) {
            const std::string file = s.name + (req_.compress ? ".tar.zst" : ".tar");
            ArchiveWork w;
            const auto mark = s.isDrive() ? marks_.snapshot(s.name[0], s.folder) : std::nullopt;
            if (auto e = archiveWorkFor(s, req_, mark, snapshots_, start_, tape_.staging() + "/" + file, leaveOut_, w);
                !e.empty())
                return e;
            work.push_back(std::move(w));
            indexes_.emplace_back();
            if (auto e = indexes_.back().open(tape_.staging() + "/" + indexFileFor(file)); !e.empty())
                return "The file index of " + s.label + ": " + e;
        }

        Archiver archiver(ctx_.tar, ctx_.lister, ctx_.cancel,
                          {[this](const std::string& t) { ctx_.observer.phase(t); },
                           [this](const std::string& line) {
                               std::lock_guard lock(mutex_);
                               log_.file(line);
                           },
                           [this](std::size_t k, const MemberLine& m) { indexes_[k].member(m); },
                           [this](std::size_t k, const std::string& p) { indexes_[k].unchanged(p); },
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
            const bool letter = s.isDrive();
            // Without its listing the set still has the archive, but a Normal run no new mark.
            if (o.listingFailed) {
                if (letter && req_.type == BackupType::Normal) unmarked_.push_back(s.name[0]);
                exception(s.name + ": the files could not be listed" +
                          (letter && req_.type == BackupType::Normal ? "; the mark stays where it was." : "."));
            }
            std::error_code ec;
            ArchiveEntry entry{s.name,         work[k].file.substr(work[k].file.rfind('/') + 1),
                               s.folder,       letter && startsFromMark(req_.type),
                               o.counts.files, o.counts.bytes,
                               true,           s.plan.chain,
                               fs::file_size(work[k].file, ec), false};
            entry.indexed = closeIndex(k, s) && !o.listingFailed;
            if (!entry.indexed) fs::remove(tape_.staging() + "/" + indexFileFor(entry.file), ec);
            set_.archives.push_back(entry);
        }
        if (outcomes.size() < sources_.size()) return "Cancelled.";
        return {};
    }

    // The names the drive held that this archive did not take again come from
    // the listing's snapshot, so that the index alone tells what existed.
    bool closeIndex(std::size_t k, const Source& s) {
        std::string error;
        if (s.isDrive() && startsFromMark(req_.type) && s.plan.buildsOnChain)
            error = unchangedNames(snapshots_.listing(s), [&](const std::string& p) { indexes_[k].unchanged(p); });
        if (const auto e = indexes_[k].close(); error.empty()) error = e;
        if (!error.empty()) log_.header("Note: the file index of " + s.label + " is left out: " + error);
        return error.empty();
    }

    void verify(const Source& s, const ArchiveEntry& entry) {
        ctx_.observer.phase("Verifying " + s.label);
        const std::string folder = tape_.staging() + "/";
        const int before = exceptions_;
        verifyArchive({folder + entry.file, s.folder, exclusionsUnder(s.folder, leaveOut_), start_},
                      ctx_.tar, ctx_.cancel, [&](const std::string& text) { exception(s.name + ": " + text); });
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
            for (const auto& s : sources_) {
                if (!s.isDrive() || std::find(unmarked_.begin(), unmarked_.end(), s.name[0]) != unmarked_.end()) continue;
                MarkChain chain{req_.tape, s.plan.chain};
                chain.sets.push_back(set_.number);
                if (auto e = marks_.set(s.name[0], s.folder, snapshots_.archive(s), chain); !e.empty()) exception(e);
            }
        std::error_code ec;
        fs::remove_all(snapshots_.folder, ec);
        if (!req_.append) {
            if (verifyDifferences_ == 0) {
                ctx_.observer.phase("Replacing the old sets");
                // The sets this one builds on stay: the tape must restore on its own.
                if (auto e = tape_.removeSetsBefore(set_.number, setsNeededBy(set_)); !e.empty())
                    exception("Old sets not removed: " + e);
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
        fs::remove_all(snapshots_.folder, ec);
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
    Snapshots snapshots_;  // the run's snapshots until they become marks
    std::deque<IndexWriter> indexes_;  // one per archive; a deque, as each holds open files
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
