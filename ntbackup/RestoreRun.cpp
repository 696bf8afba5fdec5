#include "ntbackup/RestoreRun.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "ntbackup/ChainPlan.h"
#include "ntbackup/ChainView.h"
#include "ntbackup/PlaceRestore.h"

#include "ntbackup/Tape.h"
#include "ntbackup/TarOutput.h"

namespace kelvaro::ntbackup {

namespace fs = std::filesystem;

std::vector<BackupSet> restoreChain(const std::vector<BackupSet>& sets) {
    if (sets.empty()) return {};
    const BackupSet& last = sets.back();
    if (last.type == BackupType::Copy) return {last};
    if (last.type == BackupType::Daily) {
        auto chain = restoreChain(std::vector<BackupSet>(sets.begin(), sets.end() - 1));
        chain.push_back(last);
        return chain;
    }
    std::vector<BackupSet> chain;
    auto normal = std::find_if(sets.rbegin(), sets.rend(), [](const auto& s) { return s.type == BackupType::Normal; });
    auto from = normal == sets.rend() ? sets.begin() : std::prev(normal.base());
    if (normal != sets.rend()) chain.push_back(*from++);
    const BackupSet* differential = nullptr;
    for (auto it = from; it != sets.end(); ++it) {
        if (it->type == BackupType::Incremental) {
            chain.push_back(*it);
            differential = nullptr;  // only a Differential after the last Incremental counts
        } else if (it->type == BackupType::Differential) {
            differential = &*it;
        }
    }
    if (differential) chain.push_back(*differential);
    return chain;
}

namespace {

bool isEmptyFolder(const std::string& p, bool& exists) {
    std::error_code ec;
    exists = fs::exists(p, ec);
    return exists && fs::is_directory(p, ec) && fs::is_empty(p, ec);
}

}  // namespace

namespace {

struct Restore {
    const Request& req;
    RunContext& ctx;
    Tape tape;
    std::string drive;
    int exceptions = 0;
    std::string summary;  // what a restore of pieces did

    RunResult fail(const std::string& why) {
        const RunResult r{2, "Restore failed: " + why};
        ctx.observer.finished(r);
        return r;
    }
    void exception(const std::string& text) {
        ++exceptions;
        ctx.observer.exception(text);
    }
    RunResult done_() {
        std::string text = exceptions == 0 ? "Restore done" : "Restore done with " + std::to_string(exceptions) +
                                                                  (exceptions == 1 ? " exception" : " exceptions");
        text += summary.empty() ? "." : ": " + summary + ".";
        const RunResult r{exceptions == 0 ? 0 : 1, text};
        ctx.observer.finished(r);
        return r;
    }

    // One tar extraction; empty when it went well enough to go on.
    std::string extract(const BackupSet& set, std::vector<std::string> args) {
        const ArchiveEntry& a = *set.archiveOf(drive);
        const std::string file = tape.setFolder(set.number) + "/" + a.file;
        args.insert(args.begin(), {"--extract", "--file=" + file, kRecordOption});
        args.insert(args.end(), std::begin(kExtractMetadata), std::end(kExtractMetadata));
        std::string fatal;
        const int before = exceptions;
        const auto outcome = ctx.tar.run(
            args, nullptr,
            [&](const std::string& line) {
                const TarNote note = classifyTarError(line, file);
                if (note.kind == TarNoteKind::Exception) exception(drive + ": " + note.text);
                else if (note.kind == TarNoteKind::Fatal && fatal.empty()) fatal = note.text;
            },
            ctx.cancel);
        if (!outcome.started) return "tar cannot be started: " + outcome.startError;
        if (outcome.cancelled) return "cancelled; the folder holds part of the backup.";
        if (outcome.exitStatus >= 2 && (!fatal.empty() || exceptions == before))
            return "set " + std::to_string(set.number) + " cannot be read: " +
                   (fatal.empty() ? "tar ended with status " + std::to_string(outcome.exitStatus) : fatal);
        if (!fatal.empty()) exception(drive + ": " + fatal);
        return {};
    }

    // Removes from the target what the drive did not hold at the chain's end:
    // what was there before (/overwrite), and what a Daily, which replays no
    // deletions itself, would bring back.
    void prune(const RestoreChain& chain, const std::string& target) {
        const auto state = chainState(chain.sets, drive, "", ArchiveEntries(tape, ctx.tar, ctx.cancel));
        if (!state.error.empty()) {
            exception("files deleted before set " + std::to_string(chain.sets.back().number) +
                      " may be back: " + state.error);
            return;
        }
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(target, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec)) {
            if (state.entries.count(fs::relative(it->path(), target, ec).string())) continue;
            const auto gone = it->path();
            it.disable_recursion_pending();
            fs::remove_all(gone, ec);
            if (ec) exception(drive + ": " + gone.string() + " cannot be removed: " + ec.message());
            ec.clear();
        }
    }

    // Into a folder that holds files, the drive goes to a folder of the target's
    // own first and from there into place: nothing there is ever half-written.
    RunResult wholeDrive(const RestoreChain& chain, const std::string& target, bool targetHeldFiles) {
        if (!targetHeldFiles) return wholeDriveInto(chain, target, false);
        std::error_code ec;
        const std::string staging = target + "/.kelvaro-restore-" + std::to_string(ctx.now());
        fs::remove_all(staging, ec);
        fs::create_directory(staging, ec);
        if (ec) return fail("the folder " + staging + " cannot be made: " + ec.message());
        const RunResult r = wholeDriveInto(chain, staging, true);
        if (r.status < 2) {
            ctx.observer.phase("Putting the files in place");
            placeTree(staging, target, [&](const std::string& t) { exception(drive + ": " + t); });
        }
        fs::remove_all(staging, ec);
        if (r.status == 2) return r;
        prune(chain, target);
        return done_();
    }

    RunResult wholeDriveInto(const RestoreChain& chain, const std::string& target, bool staged) {
        if (chain.legacy && chain.sets.front().type != BackupType::Normal && chain.sets.front().type != BackupType::Copy)
            exception("No Normal set for drive " + drive + ": on tape " + std::to_string(req.tape) +
                      " before these sets: only the changes they hold are restored.");
        for (const auto& set : chain.sets) {
            if (ctx.cancel.load()) return fail("cancelled; the folder holds part of the backup.");
            ctx.observer.phase("Restoring drive " + drive + ": from set " + std::to_string(set.number) + " (" +
                               typeName(set.type) + ")");
            std::vector<std::string> args{"--directory=" + target};
            // Extracting with a snapshot makes the folder what it was at that run: it
            // also removes what had been deleted by then.
            if (set.archiveOf(drive)->listed) args.push_back("--listed-incremental=/dev/null");
            if (auto e = extract(set, args); !e.empty()) return fail(e);
        }
        const auto lastListed = std::find_if(chain.sets.rbegin(), chain.sets.rend(),
                                             [&](const BackupSet& s) { return s.archiveOf(drive)->listed; });
        const bool dailyOnTop = std::any_of(chain.sets.rbegin(), lastListed,
                                            [](const BackupSet& s) { return s.type == BackupType::Daily; });
        if (dailyOnTop) prune(chain, target);
        return staged ? RunResult{0, ""} : done_();
    }

    // Each file from the set that holds its version, first into a folder of the
    // target's own and from there into place (see placeFiles).
    RunResult pieces(const std::vector<BackupSet>& all, const std::string& target,
                     const std::map<std::string, Version>& wanted, std::optional<ClashAnswer> answer) {
        std::error_code ec;
        Counts total, done;
        for (const auto& [path, v] : wanted)
            if (v.entry.kind != MemberKind::Directory) ++total.files, total.bytes += v.entry.size;
        std::string staging;
        for (int n = 0; staging.empty() || fs::exists(staging, ec); ++n)
            staging = target + "/.kelvaro-restore-" + std::to_string(ctx.now()) + (n ? "-" + std::to_string(n) : "");
        fs::create_directories(staging, ec);
        if (ec) return fail("the folder " + staging + " cannot be made: " + ec.message());
        const auto leave = [&](const std::string& why) {
            fs::remove_all(staging, ec);
            return fail(why);
        };
        const std::string list = staging + ".list";
        for (const auto& set : all) {
            std::string names;
            Counts here;
            for (const auto& [path, v] : wanted)
                if (v.set == set.number && !path.empty()) {
                    names += memberName(path) + '\0';
                    if (v.entry.kind != MemberKind::Directory) ++here.files, here.bytes += v.entry.size;
                }
            if (names.empty()) continue;
            if (ctx.cancel.load()) return leave("cancelled; nothing was restored.");
            ctx.observer.phase("Restoring from set " + std::to_string(set.number) + " (" + typeName(set.type) + ")");
            ctx.observer.progress(done, total, true);
            {
                std::ofstream out(list, std::ios::binary | std::ios::trunc);
                out << names;
                if (!out.flush()) return leave("the list of files cannot be written to " + list + ".");
            }
            // Names taken as they stand: no options, no patterns, no folder pulling in more.
            const std::string e = extract(set, {"--directory=" + staging, "--null", "--verbatim-files-from",
                                                "--no-wildcards", "--no-recursion", "--files-from=" + list});
            fs::remove(list, ec);
            if (!e.empty()) return leave(e.starts_with("cancelled") ? "cancelled; nothing was restored." : e);
            done.files += here.files;
            done.bytes += here.bytes;
        }
        ctx.observer.phase("Putting the files in place");
        ctx.observer.progress(done, total, true);
        const PlaceCounts counts = placeFiles(wanted, staging, target, answer, ctx.now(),
                                              [&] { return ctx.cancel.load(); },
                                              [&](const std::string& t) { exception(drive + ": " + t); });
        fs::remove_all(staging, ec);
        if (ctx.cancel.load())
            return fail("cancelled: " + summaryText(counts) + " before; the rest was left as it was.");
        summary = summaryText(counts);
        return done_();
    }

    RunResult run() {
        std::error_code ec;
        if (!fs::is_directory(tape.folder(), ec)) return fail("tape " + std::to_string(req.tape) + " holds no backup sets.");
        const auto waiting = [&] {
            ctx.observer.notice("Tape " + std::to_string(req.tape) + " is in use by another run: waiting for it to end.");
        };
        if (auto e = ctx.lock.acquire(tape.folder(), waiting, ctx.cancel); !e.empty()) return fail(e);

        const auto all = tape.sets();
        if (req.set && std::none_of(all.begin(), all.end(), [&](const auto& s) { return s.number == *req.set; }))
            return fail("tape " + std::to_string(req.tape) + " has no set " + std::to_string(*req.set) + ".");
        const RestoreChain chain = restoreChainOf(all, drive, req.set);
        if (!chain.missing.empty())
            return fail("the restore of drive " + drive + ": needs " + chain.missing + ", which is not on tape " +
                        std::to_string(req.tape) + ".");
        if (chain.sets.empty()) return fail("no set on tape " + std::to_string(req.tape) + " holds drive " + drive + ":.");

        const bool whole = std::all_of(req.pieces.begin(), req.pieces.end(), [](const auto& p) { return p.empty(); });
        std::map<std::string, Version> wanted;
        if (!whole) {
            const ArchiveEntries archives(tape, ctx.tar, ctx.cancel);
            for (std::size_t i = 0; i < req.pieces.size(); ++i) {
                auto state = chainState(chain.sets, drive, req.pieces[i], archives);
                if (!state.error.empty()) return fail(state.error + ".");
                if (state.entries.empty())
                    return fail("no set of the chain of set " + std::to_string(chain.sets.back().number) + " holds " +
                                req.pieceNames[i] + ".");
                wanted.merge(state.entries);
            }
        }

        const std::string target = fs::absolute(req.restoreTarget, ec).lexically_normal().string();
        bool exists = false;
        if (!isEmptyFolder(target, exists)) {
            if (exists && !fs::is_directory(target, ec)) return fail(target + " is not a folder.");
            if (whole && exists && !req.overwrite)
                return fail(target + " is not empty. Restore into an empty folder, or add /overwrite to make this "
                                     "folder equal to the backup (files that are not in the backup are removed).");
            if (const auto clashes = clashesOf(wanted, target); !whole && !req.overwrite && !clashes.empty())
                return fail(target + "/" + clashes.front() + " is there already. Add /overwrite to replace it with the backup.");
            if (!exists) fs::create_directories(target, ec);
            if (ec) return fail("the folder " + target + " cannot be made: " + ec.message());
        }
        if (whole) return wholeDrive(chain, target, exists && !isEmptyFolder(target, exists));
        return pieces(all, target, wanted, req.overwrite ? std::optional(ClashAnswer::Replace) : std::nullopt);
    }
};

}  // namespace

RunResult restoreSelection(const SelectionRestore& what, RunContext& ctx) {
    Request req;
    req.operation = Operation::Restore;
    req.tape = what.tape;
    req.drives = {what.drive};
    req.restoreTarget = what.target;
    Restore r{req, ctx, Tape(ctx.tapeFolder(req.tape), req.tape), std::string(1, what.drive)};
    const auto waiting = [&] {
        ctx.observer.notice("Tape " + std::to_string(req.tape) + " is in use by another run: waiting for it to end.");
    };
    if (auto e = ctx.lock.acquire(r.tape.folder(), waiting, ctx.cancel); !e.empty()) return r.fail(e);
    if (what.wanted.empty()) return r.fail("nothing is chosen.");
    if (const auto clashes = clashesOf(what.wanted, what.target); !what.answer && !clashes.empty())
        return r.fail(what.target + "/" + clashes.front() + " is there already.");
    return r.pieces(r.tape.sets(), what.target, what.wanted, what.answer);
}

RunResult runRestore(const Request& req, RunContext& ctx) {
    return Restore{req, ctx, Tape(ctx.tapeFolder(req.tape), req.tape), std::string(1, req.drives.at(0))}.run();
}

}  // namespace kelvaro::ntbackup
