#include "ntbackup/DriveTree.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

namespace kelvaro::ntbackup {

namespace {

bool isUnder(const std::string& path, const std::string& folder) {
    if (folder == "/") return path.size() > 1 && path[0] == '/';
    return path.size() > folder.size() && path.starts_with(folder) && path[folder.size()] == '/';
}

// The mounts table writes blanks and the like as octal escapes ("\040").
std::string unescapeMount(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1]))) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace

std::vector<std::string> exclusionsUnder(const std::string& driveFolder, const std::vector<std::string>& leaveOut) {
    std::vector<std::string> out;
    for (const auto& p : leaveOut) {
        if (!isUnder(p, driveFolder)) continue;
        const std::string rel = driveFolder == "/" ? p.substr(1) : p.substr(driveFolder.size() + 1);
        out.push_back("./" + rel);
    }
    return out;
}

std::vector<std::string> virtualMountPoints(const std::string& mountsFile) {
    static const std::set<std::string> kVirtual = {
        "proc", "sysfs", "devtmpfs", "devpts", "tmpfs", "securityfs", "cgroup", "cgroup2", "pstore", "bpf",
        "debugfs", "tracefs", "mqueue", "hugetlbfs", "fusectl", "configfs", "binfmt_misc", "autofs",
        "efivarfs", "rpc_pipefs", "nsfs", "ramfs"};
    std::vector<std::string> out;
    std::ifstream in(mountsFile);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string device, point, type;
        if (fields >> device >> point >> type && kVirtual.count(type)) out.push_back(unescapeMount(point));
    }
    return out;
}

}  // namespace kelvaro::ntbackup
