#include "ntbackup/Archiver.h"

#include <cstdint>
#include <iterator>
#include <thread>

#include "ntbackup/TarOutput.h"

namespace kelvaro::ntbackup {

namespace {

std::vector<std::string> command(std::vector<std::string> head, const std::vector<std::string>& select,
                                 const ArchiveWork& w) {
    head.insert(head.end(), select.begin(), select.end());
    // Our exclusions are exact paths: no wildcards, matched from the top.
    head.insert(head.end(), {"--warning=no-new-dir", "--warning=no-file-ignored", "--no-wildcards", "--anchored"});
    for (const auto& x : w.exclusions) head.push_back("--exclude=" + x);
    head.insert(head.end(), {"--directory=" + w.folder, "."});
    return head;
}

}  // namespace

Archiver::Archiver(TarRunner& tar, TarRunner& lister, const std::atomic<bool>& cancel, Hooks hooks)
    : tar_(tar), lister_(lister), cancel_(cancel), hooks_(std::move(hooks)) {}

std::vector<ArchiveOutcome> Archiver::run(const std::vector<ArchiveWork>& work) {
    listings_.assign(work.size(), Listing{});
    listingFailed_.assign(work.size(), false);
    std::thread lister([&] { listAll(work); });
    std::vector<ArchiveOutcome> outcomes;
    for (std::size_t k = 0; k < work.size() && !cancel_.load(); ++k) {
        outcomes.push_back(archive(k, work[k]));
        if (!outcomes.back().error.empty() || outcomes.back().cancelled) break;
    }
    {
        std::lock_guard lock(mutex_);
        abandoned_ = true;  // the listing goes on only as far as the archives went
    }
    lister.join();
    for (std::size_t k = 0; k < outcomes.size(); ++k) {
        outcomes[k].listingFailed = listingFailed_[k];
        outcomes[k].counts = {listings_[k].files(), listings_[k].bytes()};
    }
    return outcomes;
}

void Archiver::listAll(const std::vector<ArchiveWork>& work) {
    for (std::size_t k = 0; k < work.size(); ++k) {
        {
            std::lock_guard lock(mutex_);
            if (abandoned_ && current_ < k) break;
            listingsStarted_ = k + 1;
        }
        changed_.notify_all();
        const TarOutcome listed = lister_.run(
            command({"--create", "--file=/dev/null", "--verbose", "--verbose", kListingFormat[0], kListingFormat[1],
                     kListingFormat[2]},
                    work[k].listSelect, work[k]),
            [&](const std::string& line) {
                std::lock_guard lock(mutex_);
                const auto m = parseMemberLine(line);
                if (hooks_.file) hooks_.file(m ? logLineOf(line, *m) : line);
                if (m) {
                    listings_[k].add(*m);
                    if (hooks_.member) hooks_.member(k, *m);
                }
                report();
            },
            [&](const std::string& line) {
                const auto name = unchangedMemberOf(line);
                if (!name || !hooks_.unchanged) return;
                std::lock_guard lock(mutex_);
                hooks_.unchanged(k, *name);
            },
            cancel_);
        {
            std::lock_guard lock(mutex_);
            listingFailed_[k] = !listed.started || listed.exitStatus >= 2;
            listingsDone_ = k + 1;
            report();
        }
        changed_.notify_all();
        if (cancel_.load()) break;
        if (hooks_.listed && !listingFailed_[k]) hooks_.listed(k);
    }
    std::lock_guard lock(mutex_);
    listingsDone_ = work.size();
    changed_.notify_all();
}

ArchiveOutcome Archiver::archive(std::size_t k, const ArchiveWork& w) {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return listingsStarted_ > k || listingsDone_ == listings_.size(); });
        current_ = k;
        currentStream_ = 0;
    }
    if (hooks_.phase) hooks_.phase("Backing up " + w.label);
    std::vector<std::string> head{"--create", "--file=" + w.file, kRecordOption,
                                  "--checkpoint=" + std::to_string(Listing::kCheckpointRecords),
                                  "--checkpoint-action=echo=#%u"};
    head.insert(head.end(), std::begin(kArchiveMetadata), std::end(kArchiveMetadata));
    // zstd on every core (tar --zstd runs it on one); plain tar --zstd reads the archive all the same.
    if (w.compress) head.push_back("--use-compress-program=zstd -T0");
    std::string fatal;
    int fileProblems = 0;
    const TarOutcome outcome = tar_.run(
        command(head, w.archiveSelect, w), nullptr,
        [&](const std::string& line) {
            // "tar: #300": 300 records are written.
            if (line.starts_with("tar: #") && line.find_first_not_of("0123456789", 6) == std::string::npos) {
                std::lock_guard lock(mutex_);
                currentStream_ = std::stoull("0" + line.substr(6)) * kRecordSize;
                listings_[k].reached(currentStream_);
                report();
                return;
            }
            const TarNote note = classifyTarError(line, w.file);
            if (note.kind == TarNoteKind::Exception) {
                ++fileProblems;
                if (hooks_.exception) hooks_.exception(w.prefix + ": " + note.text);
            } else if (note.kind == TarNoteKind::Fatal && fatal.empty()) {
                fatal = note.text;
            }
        },
        cancel_);

    ArchiveOutcome result;
    if (!outcome.started) result.error = "tar cannot be started: " + outcome.startError;
    else if (outcome.cancelled) result.cancelled = true;
    // Status 2 with nothing but file problems still made a whole archive of the rest;
    // anything else tar says is only a note while it ends well.
    else if (outcome.exitStatus >= 2 && (!fatal.empty() || fileProblems == 0))
        result.error = "The archive of " + w.label + " cannot be written: " +
                       (fatal.empty() ? "tar ended with status " + std::to_string(outcome.exitStatus) : fatal);
    else if (!fatal.empty() && hooks_.note)
        hooks_.note(fatal);

    // The archive is whole once its listing is: the counts come from there.
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return listingsDone_ > k; });
    current_ = k + 1;
    currentStream_ = 0;
    listings_[k].reached(UINT64_MAX);  // from now on only its totals count
    report();
    return result;
}

void Archiver::report() {
    if (!hooks_.progress) return;
    Counts done, total;
    for (std::size_t k = 0; k < listings_.size(); ++k) {
        total.files += listings_[k].files();
        total.bytes += listings_[k].bytes();
        const Counts d = k < current_ ? Counts{listings_[k].files(), listings_[k].bytes()}
                         : k == current_ ? listings_[k].doneAt(currentStream_)
                                         : Counts{};
        done.files += d.files;
        done.bytes += d.bytes;
    }
    hooks_.progress(done, total, listingsDone_ == listings_.size());
}

}  // namespace kelvaro::ntbackup
