#include "ntbackup/BackupScope.h"

#include <filesystem>

#include "ntbackup/DriveTree.h"

namespace kelvaro::ntbackup {

namespace fs = std::filesystem;

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

}  // namespace

std::vector<Source> collectSources(const Request& req, const linuxp::DriveMap& drives, const std::string& registryFolder,
                                   const std::function<void(const std::string&)>& missing) {
    std::vector<Source> out;
    for (char d : req.drives) {
        const std::string letter(1, d);
        const auto folder = drives.target(d);
        if (!folder) {
            missing("Drive " + letter + ": does not exist: no link " + letter + ": in " + drives.root() +
                    " leads to a folder.");
            continue;
        }
        out.push_back({letter, "drive " + letter + ": [" + *folder + "]", canonicalOr(*folder), {}});
    }
    if (req.registry) out.push_back({"registry", "the local registry (" + registryFolder + ")", registryFolder, {}});
    return out;
}

std::string archiveWorkFor(const Source& s, const Request& req, const std::optional<std::string>& mark,
                           const Snapshots& snapshots, std::time_t start, const std::string& archiveFile,
                           const std::vector<std::string>& leaveOut, ArchiveWork& w) {
    w = ArchiveWork{s.label, s.name, s.folder, archiveFile, req.compress, {}, {}, exclusionsUnder(s.folder, leaveOut)};
    if (!s.isDrive()) return {};
    if (req.type == BackupType::Daily && s.plan.buildsOnChain)
        w.listSelect.push_back("--newer-mtime=@" + std::to_string(localMidnight(start)));
    w.archiveSelect = w.listSelect;
    if (startsFromMark(req.type)) {
        // Without a chain to build on, the snapshots start empty: tar takes every file.
        std::error_code ec;
        if (mark && s.plan.buildsOnChain) {
            fs::copy_file(*mark, snapshots.archive(s), fs::copy_options::overwrite_existing, ec);
            if (!ec) fs::copy_file(*mark, snapshots.listing(s), fs::copy_options::overwrite_existing, ec);
        }
        if (ec) return "The mark of " + s.label + " cannot be read: " + ec.message();
        w.listSelect.push_back("--listed-incremental=" + snapshots.listing(s));
        w.archiveSelect.push_back("--listed-incremental=" + snapshots.archive(s));
    } else if (setsMark(req.type)) {
        w.listSelect.push_back("--listed-incremental=" + snapshots.archive(s));
    }
    return {};
}

}  // namespace kelvaro::ntbackup
