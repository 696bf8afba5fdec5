#include "ntbackup/RestoreRun.h"

#include <algorithm>
#include <filesystem>

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

RunResult runRestore(const Request& req, RunContext& ctx) {
    const std::string drive(1, req.drives.at(0));
    Tape tape(ctx.tapeFolder(req.tape), req.tape);
    const auto fail = [&](const std::string& why) {
        const RunResult r{2, "Restore failed: " + why};
        ctx.observer.finished(r);
        return r;
    };
    std::error_code ec;
    if (!fs::is_directory(tape.folder(), ec)) return fail("tape " + std::to_string(req.tape) + " holds no backup sets.");
    const auto waiting = [&] {
        ctx.observer.notice("Tape " + std::to_string(req.tape) + " is in use by another run: waiting for it to end.");
    };
    if (auto e = ctx.lock.acquire(tape.folder(), waiting, ctx.cancel); !e.empty()) return fail(e);

    std::vector<BackupSet> sets;
    bool setFound = !req.set;
    for (const auto& s : tape.sets()) {
        if (req.set && s.number > *req.set) break;
        if (req.set && s.number == *req.set) setFound = true;
        if (s.archiveOf(drive)) sets.push_back(s);
    }
    if (!setFound) return fail("tape " + std::to_string(req.tape) + " has no set " + std::to_string(*req.set) + ".");
    const auto chain = restoreChain(sets);
    if (chain.empty())
        return fail("no set on tape " + std::to_string(req.tape) + " holds drive " + drive + ":.");

    const std::string target = fs::absolute(req.restoreTarget, ec).lexically_normal().string();
    bool exists = false;
    if (!isEmptyFolder(target, exists)) {
        if (exists && !fs::is_directory(target, ec)) return fail(target + " is not a folder.");
        if (exists && !req.overwrite)
            return fail(target + " is not empty. Restore into an empty folder, or add /overwrite to make this "
                                 "folder equal to the backup (files that are not in the backup are removed).");
        if (!exists) fs::create_directories(target, ec);
        if (ec) return fail("the folder " + target + " cannot be made: " + ec.message());
    }

    int exceptions = 0;
    const auto exception = [&](const std::string& text) {
        ++exceptions;
        ctx.observer.exception(text);
    };
    if (chain.front().type != BackupType::Normal && chain.front().type != BackupType::Copy)
        exception("No Normal set for drive " + drive + ": on tape " + std::to_string(req.tape) +
                  " before these sets: only the changes they hold are restored.");

    for (const auto& set : chain) {
        if (ctx.cancel.load()) return fail("cancelled; the folder holds part of the backup.");
        const ArchiveEntry& a = *set.archiveOf(drive);
        ctx.observer.phase("Restoring drive " + drive + ": from set " + std::to_string(set.number) + " (" +
                           typeName(set.type) + ")");
        std::vector<std::string> args{"--extract", "--file=" + tape.setFolder(set.number) + "/" + a.file,
                                      "--preserve-permissions", "--directory=" + target};
        // Extracting with a snapshot makes the folder what it was at that run: it
        // also removes what had been deleted by then.
        if (a.listed) args.push_back("--listed-incremental=/dev/null");
        std::string fatal;
        const auto outcome = ctx.tar.run(
            args, nullptr,
            [&](const std::string& line) {
                const TarNote note = classifyTarError(line, args[1].substr(7));
                if (note.kind == TarNoteKind::Exception) exception(drive + ": " + note.text);
                else if (note.kind == TarNoteKind::Fatal && fatal.empty()) fatal = note.text;
            },
            ctx.cancel);
        if (!outcome.started) return fail("tar cannot be started: " + outcome.startError);
        if (outcome.cancelled) return fail("cancelled; the folder holds part of the backup.");
        if (outcome.exitStatus >= 2 && (!fatal.empty() || exceptions == 0))
            return fail("set " + std::to_string(set.number) + " cannot be read: " +
                        (fatal.empty() ? "tar ended with status " + std::to_string(outcome.exitStatus) : fatal));
    }
    const std::string text = exceptions == 0 ? "Restore done." : "Restore done with " + std::to_string(exceptions) +
                                                                     (exceptions == 1 ? " exception." : " exceptions.");
    const RunResult r{exceptions == 0 ? 0 : 1, text};
    ctx.observer.finished(r);
    return r;
}

RunResult runList(const Request& req, RunContext& ctx, std::string& catalog) {
    Tape tape(ctx.tapeFolder(req.tape), req.tape);
    catalog = catalogText(req.tape, tape.sets());
    return {0, ""};
}

}  // namespace kelvaro::ntbackup
