#include "ntbackup/SetArchives.h"

#include <deque>
#include <filesystem>
#include <optional>

#include "ntbackup/FileIndex.h"
#include "ntbackup/SnapshotFile.h"

namespace kelvaro::ntbackup {

namespace fs = std::filesystem;

namespace {

// The names the drive held that this archive did not take again come from
// the listing's snapshot, so that the index alone tells what existed.
std::string closeIndex(IndexWriter& index, const Source& s, BackupType type, const Snapshots& snapshots) {
    std::string error;
    index.membersDone();
    if (s.isDrive() && startsFromMark(type) && s.plan.buildsOnChain)
        error = unchangedNames(snapshots.listing(s), [&](const std::string& p) { index.unchanged(p); });
    if (const auto e = index.close(); error.empty()) error = e;
    return error;
}

}  // namespace

WrittenArchives writeArchives(const ArchivesToWrite& what, RunContext& ctx, const Archiver::Hooks& hooks) {
    const Request& req = what.request;
    WrittenArchives out;
    std::vector<ArchiveWork> work;
    std::deque<IndexWriter> indexes;  // a deque: each holds open files
    for (const auto& s : what.sources) {
        const std::string file = s.name + (req.compress ? ".tar.zst" : ".tar");
        ArchiveWork w;
        const auto mark = s.isDrive() ? what.marks.snapshot(s.name[0], s.folder) : std::nullopt;
        if (auto e = archiveWorkFor(s, req, mark, what.snapshots, what.start, what.staging + "/" + file, what.leaveOut, w);
            !e.empty())
            return {{}, {}, e};
        work.push_back(std::move(w));
        indexes.emplace_back();
        if (auto e = indexes.back().open(what.staging + "/" + indexFileFor(file)); !e.empty())
            return {{}, {}, "The file index of " + s.label + ": " + e};
    }

    Archiver::Hooks withIndex = hooks;
    withIndex.member = [&](std::size_t k, const MemberLine& m) { indexes[k].member(m); };
    withIndex.unchanged = [&](std::size_t k, const std::string& p) { indexes[k].unchanged(p); };
    // An index is finished as soon as its listing is, mostly while the archive is still
    // being written: the unchanged names of an Incremental over many files take a while.
    std::vector<std::optional<std::string>> indexErrors(work.size());
    withIndex.listed = [&](std::size_t k) {
        indexErrors[k] = closeIndex(indexes[k], what.sources[k], req.type, what.snapshots);
    };
    const auto outcomes = Archiver(ctx.tar, ctx.lister, ctx.cancel, withIndex).run(work);
    for (std::size_t k = 0; k < outcomes.size(); ++k) {
        const auto& o = outcomes[k];
        if (o.cancelled) return {{}, {}, "Cancelled."};
        if (!o.error.empty()) return {{}, {}, o.error};
        const Source& s = what.sources[k];
        const bool letter = s.isDrive(), normal = req.type == BackupType::Normal;
        // Without its listing the set still has the archive, but a Normal run no new mark.
        if (o.listingFailed) {
            if (letter && normal) out.unmarked.push_back(s.name[0]);
            hooks.exception(s.name + ": the files could not be listed" +
                            (letter && normal ? "; the mark stays where it was." : "."));
        }
        std::error_code ec;
        ArchiveEntry entry{s.name,         work[k].file.substr(work[k].file.rfind('/') + 1),
                           s.folder,       letter && startsFromMark(req.type),
                           o.counts.files, o.counts.bytes,
                           true,           s.plan.chain,
                           fs::file_size(work[k].file, ec), false};
        const std::string indexError =
            indexErrors[k] ? *indexErrors[k] : closeIndex(indexes[k], s, req.type, what.snapshots);
        if (!indexError.empty()) hooks.note("the file index of " + s.label + " is left out: " + indexError);
        entry.indexed = indexError.empty() && !o.listingFailed;
        if (!entry.indexed) fs::remove(what.staging + "/" + indexFileFor(entry.file), ec);
        out.archives.push_back(entry);
    }
    if (outcomes.size() < what.sources.size()) out.error = "Cancelled.";
    return out;
}

}  // namespace kelvaro::ntbackup
