#include "ntbackup/PlaceRestore.h"

#include <chrono>
#include <filesystem>

namespace kelvaro::ntbackup {

namespace fs = std::filesystem;

namespace {

fs::file_time_type fileTime(std::int64_t t) {
    return std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(static_cast<std::time_t>(t)));
}

// A rename, or across file systems a copy beside the place and then a rename.
void moveInto(const fs::path& from, const fs::path& to, std::error_code& ec) {
    fs::rename(from, to, ec);
    if (ec != std::errc::cross_device_link) return;
    ec.clear();
    const fs::path beside = to.parent_path() / ("." + to.filename().string() + ".kelvaro-restore");
    fs::copy(from, beside, fs::copy_options::copy_symlinks | fs::copy_options::overwrite_existing, ec);
    if (!ec) fs::rename(beside, to, ec);
    if (ec) fs::remove(beside);
}

}  // namespace

std::string keptBothName(const std::string& path, std::time_t today) {
    std::tm tm {};
    localtime_r(&today, &tm);
    char date[16];
    std::strftime(date, sizeof date, "%Y-%m-%d", &tm);
    const auto slash = path.rfind('/');
    const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    auto dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameAt) dot = path.size();  // ".bashrc" has no extension
    return path.substr(0, dot) + " (restored " + date + ")" + path.substr(dot);
}

std::vector<std::string> clashesOf(const std::map<std::string, Version>& wanted, const std::string& target) {
    std::vector<std::string> out;
    for (const auto& [path, v] : wanted) {
        if (path.empty()) continue;
        std::error_code ec;
        const auto status = fs::symlink_status(target + "/" + path, ec);
        if (!fs::exists(status)) continue;
        if (v.entry.kind == MemberKind::Directory && fs::is_directory(status)) continue;
        out.push_back(path);
    }
    return out;
}

PlaceCounts placeFiles(const std::map<std::string, Version>& wanted, const std::string& staging,
                       const std::string& target, std::optional<ClashAnswer> answer, std::time_t today,
                       const std::function<bool()>& cancelled, const std::function<void(const std::string&)>& failed) {
    PlaceCounts counts;
    std::error_code ec;
    for (const auto& [path, v] : wanted) {  // path order: a folder before what it holds
        if (path.empty() || cancelled()) continue;
        const fs::path from = fs::path(staging) / path, to = fs::path(target) / path;
        const auto there = fs::symlink_status(to, ec);
        if (v.entry.kind == MemberKind::Directory) {
            // Its parent may not be chosen ("docs/notes" without "docs"): made plainly.
            if (!fs::exists(there)) fs::create_directories(to.parent_path(), ec);
            if (!ec && !fs::exists(there)) fs::create_directory(to, from, ec);
            if (ec) failed(to.string() + " cannot be made: " + ec.message());
            ec.clear();
            continue;
        }
        if (!fs::exists(fs::symlink_status(from, ec))) {
            failed(path + " is not in the archive of set " + std::to_string(v.set));
            continue;
        }
        fs::create_directories(to.parent_path(), ec);
        ec.clear();
        fs::path place = to;
        if (fs::exists(there)) {
            const ClashAnswer a = answer.value_or(ClashAnswer::Replace);
            const bool newer = fs::last_write_time(to, ec) > fileTime(v.entry.mtime);
            if (fs::is_directory(there) || (a == ClashAnswer::KeepNewer && !ec && newer)) {
                ++counts.kept;
                continue;
            }
            ec.clear();
            if (a == ClashAnswer::KeepBoth) place = fs::path(target) / keptBothName(path, today);
        }
        moveInto(from, place, ec);
        if (ec) failed(place.string() + " cannot be written: " + ec.message());
        else ++counts.restored;
        ec.clear();
    }
    // Writing into a folder changes its time: folders get theirs last, deepest first.
    for (auto it = wanted.rbegin(); it != wanted.rend(); ++it)
        if (it->second.entry.kind == MemberKind::Directory && !it->first.empty())
            fs::last_write_time(fs::path(target) / it->first, fileTime(it->second.entry.mtime), ec);
    return counts;
}

void placeTree(const std::string& staging, const std::string& target,
               const std::function<void(const std::string&)>& failed) {
    std::error_code ec;
    std::vector<std::pair<fs::path, fs::file_time_type>> folders;
    for (auto it = fs::recursive_directory_iterator(staging, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const fs::path to = fs::path(target) / fs::relative(it->path(), staging, ec);
        const auto there = fs::symlink_status(to, ec);
        if (it->is_directory(ec) && !it->is_symlink(ec)) {
            if (fs::exists(there) && !fs::is_directory(there)) fs::remove(to, ec);
            if (!fs::is_directory(there)) fs::create_directory(to, it->path(), ec);
            folders.emplace_back(to, fs::last_write_time(it->path(), ec));
        } else {
            if (fs::is_directory(there)) fs::remove_all(to, ec);  // the backup has a file there
            moveInto(it->path(), to, ec);
        }
        if (ec) failed(to.string() + " cannot be written: " + ec.message());
        ec.clear();
    }
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) fs::last_write_time(it->first, it->second, ec);
}

std::string summaryText(const PlaceCounts& c) {
    std::string text = std::to_string(c.restored) + (c.restored == 1 ? " file restored" : " files restored");
    if (c.kept) text += ", " + std::to_string(c.kept) + " kept as they were";
    return text;
}

}  // namespace kelvaro::ntbackup
