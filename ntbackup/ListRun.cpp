#include "ntbackup/ListRun.h"

#include <algorithm>
#include <optional>

#include "ntbackup/ChainPlan.h"
#include "ntbackup/ChainView.h"
#include "ntbackup/Text.h"

namespace kelvaro::ntbackup {

namespace {

const char* kindWord(MemberKind k) {
    switch (k) {
    case MemberKind::File: return "file";
    case MemberKind::Directory: return "folder";
    case MemberKind::Symlink: return "link";
    case MemberKind::HardLink: return "hard link";
    case MemberKind::Fifo: return "fifo";
    case MemberKind::CharDevice:
    case MemberKind::BlockDevice: return "device";
    default: return "other";
    }
}

std::string modified(std::int64_t t) { return localStamp(static_cast<std::time_t>(t)); }

}  // namespace

std::string versionLine(const BackupSet& set, const IndexEntry& e) {
    return "Set " + std::to_string(set.number) + "  " + set.date + "  " + typeName(set.type) + "  " +
           groupedNumber(e.size) + " bytes  modified " + modified(e.mtime);
}

RunResult runList(const Request& req, RunContext& ctx, std::string& printed) {
    Tape tape(ctx.tapeFolder(req.tape), req.tape);
    const auto sets = tape.sets();
    if (req.pieces.empty()) {
        printed = catalogText(req.tape, sets);
        return {0, ""};
    }
    const auto fail = [&](const std::string& why) { return RunResult{2, why}; };
    const std::string drive(1, req.drives.at(0)), path = req.pieces[0], name = req.pieceNames[0];
    const ArchiveEntries archives(tape, ctx.tar, ctx.cancel);

    // Every version of the path, oldest first; a folder is listed as of the set instead.
    std::vector<std::pair<const BackupSet*, IndexEntry>> versions;
    bool folder = path.empty();
    for (const auto& set : sets) {
        const ArchiveEntry* a = set.archiveOf(drive);
        if (!a || folder || (req.set && set.number > *req.set)) continue;
        std::optional<IndexEntry> found;
        const auto error = archives.read(set, *a, true, [&](const IndexEntry& e) {
            if (e.path != path) return true;
            found = e;
            return false;
        });
        if (!error.empty()) return fail("List failed: " + error + ".");
        if (!found) continue;
        if (found->kind == MemberKind::Directory) folder = true;
        versions.emplace_back(&set, *found);
    }
    if (!folder) {
        if (versions.empty()) return fail("No set on tape " + std::to_string(req.tape) + " holds " + name + ".");
        for (const auto& [set, e] : versions) printed += versionLine(*set, e) + "\n";
        return {0, ""};
    }

    const RestoreChain chain = restoreChainOf(sets, drive, req.set);
    if (chain.sets.empty() || !chain.missing.empty())
        return fail("No set on tape " + std::to_string(req.tape) + " holds drive " + drive + ":.");
    const auto state = chainState(chain.sets, drive, path, archives);
    if (!state.error.empty()) return fail("List failed: " + state.error + ".");
    if (!path.empty() && !state.entries.count(path))
        return fail(name + " is not on drive " + drive + ": as of set " + std::to_string(chain.sets.back().number) + ".");
    const BackupSet& at = chain.sets.back();
    printed = name + " as of set " + std::to_string(at.number) + " (" + at.date + ", " + typeName(at.type) + "):\n";
    for (const auto& [p, v] : state.entries) {
        if (p == path || p.find('/', path.empty() ? 0 : path.size() + 1) != std::string::npos) continue;
        const std::string child = path.empty() ? p : p.substr(path.size() + 1);
        printed += "  " + escapeLine(child) + "  " + kindWord(v.entry.kind) +
                   (v.entry.kind == MemberKind::File ? "  " + groupedNumber(v.entry.size) + " bytes" : "") +
                   "  modified " + modified(v.entry.mtime) + "\n";
    }
    return {0, ""};
}

}  // namespace kelvaro::ntbackup
