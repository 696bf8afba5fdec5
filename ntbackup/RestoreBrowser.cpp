#include "ntbackup/RestoreBrowser.h"

#include <algorithm>
#include <filesystem>

#include "ntbackup/ChainPlan.h"
#include "ntbackup/Tape.h"
#include "ntbackup/Text.h"

namespace kelvaro::ntbackup {

namespace fs = std::filesystem;

namespace {

std::string parentOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

const std::vector<std::size_t> kNone;

}  // namespace

RestoreBrowser::RestoreBrowser(std::string tapesFolder, TarRunner& tar, const std::atomic<bool>& cancel)
    : tapesFolder_(std::move(tapesFolder)), tar_(tar), cancel_(cancel) {}

std::vector<RestoreBrowser::TapeChoice> RestoreBrowser::tapes() const {
    std::vector<TapeChoice> out;
    for (int n = 0; n <= 9; ++n) {
        std::error_code ec;
        const std::string folder = tapesFolder_ + "/" + std::to_string(n);
        if (!fs::is_directory(folder, ec)) continue;
        if (const auto count = Tape(folder, n).sets().size()) out.push_back({n, count});
    }
    return out;
}

void RestoreBrowser::chooseTape(int tape) {
    tape_ = tape;
    sets_ = Tape(tapesFolder_ + "/" + std::to_string(tape), tape).sets();
    std::reverse(sets_.begin(), sets_.end());
    set_ = 0;
    rows_.clear();
    rowOf_.clear();
    children_.clear();
}

std::vector<std::string> RestoreBrowser::drivesOf(int set) const {
    std::vector<std::string> out;
    for (const auto& s : sets_)
        if (s.number == set)
            for (const auto& a : s.archives)
                if (a.drive.size() == 1) out.push_back(a.drive);
    return out;
}

const BackupSet* RestoreBrowser::set() const {
    for (const auto& s : sets_)
        if (s.number == set_) return &s;
    return nullptr;
}

std::string RestoreBrowser::choose(int set, const std::string& drive) {
    set_ = set;
    drive_ = drive;
    rows_.clear();
    rowOf_.clear();
    children_.clear();
    ticks_.clear();
    picked_.clear();
    std::vector<BackupSet> oldestFirst(sets_.rbegin(), sets_.rend());
    const RestoreChain chain = restoreChainOf(oldestFirst, drive, set);
    if (!chain.missing.empty()) return "The restore of drive " + drive + ": needs " + chain.missing + ", which is not on the tape.";
    if (chain.sets.empty()) return "Set " + std::to_string(set) + " holds no drive " + drive + ":.";
    driveFolder_ = chain.sets.back().archiveOf(drive)->folder;
    const Tape tape(tapesFolder_ + "/" + std::to_string(tape_), tape_);
    ChainRows state = chainRows(chain.sets, drive, "", ArchiveEntries(tape, tar_, cancel_));
    if (!state.error.empty()) return "The files cannot be shown: " + state.error + ".";
    rows_.reserve(state.entries.size());
    rowOf_.reserve(state.entries.size());
    for (auto& [path, v] : state.entries) {
        const auto slash = path.rfind('/');
        std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        rows_.push_back({std::move(path), std::move(name), std::move(v)});
    }
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        rowOf_.emplace(rows_[i].path, i);
        if (!rows_[i].path.empty()) children_[parentOf(rows_[i].path)].push_back(i);
    }
    for (auto& [folder, list] : children_)
        std::stable_sort(list.begin(), list.end(), [&](std::size_t a, std::size_t b) {
            if (rows_[a].folder() != rows_[b].folder()) return rows_[a].folder();
            return rows_[a].name < rows_[b].name;
        });
    return {};
}

const std::vector<std::size_t>& RestoreBrowser::children(const std::string& folder) const {
    const auto it = children_.find(folder);
    return it == children_.end() ? kNone : it->second;
}

std::optional<std::size_t> RestoreBrowser::find(const std::string& path) const {
    const auto it = rowOf_.find(path);
    if (it == rowOf_.end()) return std::nullopt;
    return it->second;
}

std::vector<std::size_t> RestoreBrowser::search(const std::string& text, std::size_t limit) const {
    std::vector<std::size_t> out;
    const std::string needle = lowerAscii(text);
    if (needle.empty()) return out;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const auto& name = rows_[i].name;
        const auto hit = std::search(name.begin(), name.end(), needle.begin(), needle.end(), [](char a, char b) {
            return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
        });
        if (hit != name.end()) out.push_back(i);
    }
    std::sort(out.begin(), out.end(), [&](std::size_t a, std::size_t b) { return rows_[a].path < rows_[b].path; });
    if (out.size() > limit) out.resize(limit);
    return out;
}

std::vector<RestoreBrowser::VersionChoice> RestoreBrowser::versions(const std::string& path) const {
    std::vector<VersionChoice> out;
    const Tape tape(tapesFolder_ + "/" + std::to_string(tape_), tape_);
    const ArchiveEntries archives(tape, tar_, cancel_);
    for (auto it = sets_.rbegin(); it != sets_.rend(); ++it) {
        const ArchiveEntry* a = it->archiveOf(drive_);
        if (!a) continue;
        archives.read(*it, *a, true, [&](const IndexEntry& e) {
            if (e.path != path) return true;
            out.push_back({&*it, e});
            return false;
        });
    }
    return out;
}

void RestoreBrowser::tick(const std::string& path, bool on) {
    // What lay below now follows this row again.
    const std::string below = path.empty() ? "" : path + "/";
    for (auto it = ticks_.lower_bound(below); it != ticks_.end() && it->first.starts_with(below);)
        it = it->first == path ? std::next(it) : ticks_.erase(it);
    ticks_[path] = on;
}

bool RestoreBrowser::ticked(const std::string& path) const {
    for (std::string p = path;; p = parentOf(p)) {
        if (const auto it = ticks_.find(p); it != ticks_.end()) return it->second;
        if (p.empty()) return false;
    }
}

bool RestoreBrowser::partlyTicked(const std::string& folder) const {
    const bool mine = ticked(folder);
    const std::string below = folder.empty() ? "" : folder + "/";
    for (auto it = ticks_.lower_bound(below); it != ticks_.end() && it->first.starts_with(below); ++it)
        if (it->first != folder && it->second != mine) return true;
    return false;
}

void RestoreBrowser::pickVersion(const std::string& path, int set) {
    if (set == 0) picked_.erase(path);
    else picked_[path] = set;
}

int RestoreBrowser::pickedVersion(const std::string& path) const {
    const auto it = picked_.find(path);
    return it == picked_.end() ? 0 : it->second;
}

std::map<std::string, Version> RestoreBrowser::selection() const {
    std::map<std::string, Version> out;
    for (const auto& r : rows_)
        if (!r.path.empty() && ticked(r.path)) out.emplace(r.path, r.version);
    // A version picked for a file, ticked or in a ticked folder, or deleted since and found through its versions.
    for (const auto& [path, set] : picked_) {
        if (!ticked(path)) continue;
        for (const auto& v : versions(path))
            if (v.set->number == set) out[path] = {set, v.entry};
    }
    return out;
}

}  // namespace kelvaro::ntbackup
