#include "ntbackup/Tape.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kelvaro::ntbackup {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSetFile = "set.txt";

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Written beside the target and renamed over it: a reader sees the old or the new file.
std::string writeFileAtomically(const fs::path& p, const std::string& text) {
    const fs::path tmp = p.string() + ".new";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) return "cannot write " + tmp.string();
    }
    std::error_code ec;
    fs::rename(tmp, p, ec);
    return ec ? "cannot write " + p.string() + ": " + ec.message() : "";
}

int setNumberOf(const std::string& name) {
    if (name.size() < 5 || !name.starts_with("set-")) return -1;
    const std::string digits = name.substr(4);
    if (digits.empty() || digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), ::isdigit)) return -1;
    return std::stoi(digits);
}

}  // namespace

std::string dataFolder(const std::string& xdgDataHome, const std::string& home) {
    // A relative XDG_DATA_HOME is invalid by the XDG rules and is ignored.
    const std::string base = !xdgDataHome.empty() && xdgDataHome[0] == '/' ? xdgDataHome : home + "/.local/share";
    return base + "/Kelvaro Workstation";
}

std::string Tape::prepare() const {
    std::error_code ec;
    // A tape on a disk or share that is not mounted now: say so, and never write beneath the mount point.
    if (fs::is_symlink(folder_, ec) && !fs::exists(folder_, ec))
        return "The tape folder " + folder_ + " is a link to " + fs::read_symlink(folder_, ec).string() +
               ", which is not there: is the disk or network share mounted?";
    fs::create_directories(folder_, ec);
    if (!fs::is_directory(folder_, ec)) return "The tape folder " + folder_ + " cannot be made: " + (ec ? ec.message() : "it is not a folder");
    return {};
}

std::vector<BackupSet> Tape::sets() const {
    std::vector<BackupSet> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder_, ec)) {
        const int n = setNumberOf(e.path().filename().string());
        if (n < 0) continue;
        auto set = parseSetFile(readFile(e.path() / kSetFile));
        if (!set || set->number != n) continue;
        out.push_back(std::move(*set));
    }
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
    return out;
}

int Tape::nextNumber() const {
    int highest = 0;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder_, ec)) highest = std::max(highest, setNumberOf(e.path().filename().string()));
    return highest + 1;
}

std::string Tape::setFolder(int number) const {
    char name[32];
    std::snprintf(name, sizeof name, "set-%04d", number);
    return folder_ + "/" + name;
}

std::string Tape::clearStaging() const {
    std::error_code ec;
    fs::remove_all(staging(), ec);
    if (ec) return "The unfinished set " + staging() + " cannot be removed: " + ec.message();
    fs::create_directory(staging(), ec);
    return ec ? "The folder " + staging() + " cannot be made: " + ec.message() : "";
}

std::string Tape::commit(const BackupSet& set) const {
    if (auto error = writeFileAtomically(fs::path(staging()) / kSetFile, formatSetFile(set)); !error.empty()) return error;
    std::error_code ec;
    fs::rename(staging(), setFolder(set.number), ec);
    return ec ? "The set cannot be stored as " + setFolder(set.number) + ": " + ec.message() : "";
}

bool Tape::archiveWhole(const BackupSet& set, const ArchiveEntry& archive) const {
    std::error_code ec;
    const auto size = fs::file_size(setFolder(set.number) + "/" + archive.file, ec);
    return !ec && size == archive.archiveSize;
}

std::string Tape::removeSetsBefore(int number, const std::set<int>& keep) const {
    std::string errors;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder_, ec)) {
        const int n = setNumberOf(e.path().filename().string());
        if (n < 0 || n >= number || keep.count(n)) continue;
        std::error_code removeError;
        fs::remove_all(e.path(), removeError);
        if (removeError) errors += (errors.empty() ? "" : "; ") + e.path().string() + ": " + removeError.message();
    }
    return errors;
}

std::string Tape::writeCatalog() const {
    return writeFileAtomically(fs::path(folder_) / "catalog.txt", catalogText(number_, sets()));
}

}  // namespace kelvaro::ntbackup
