#include "ntbackup/SnapshotFile.h"

#include <fstream>

namespace kelvaro::ntbackup {

namespace {

// Fields are NUL-terminated; `in` fails at the end of the file.
bool field(std::istream& in, std::string& out) { return static_cast<bool>(std::getline(in, out, '\0')); }

std::string relative(const std::string& folder, const std::string& name) {
    std::string dir = folder;
    if (dir.starts_with("./")) dir.erase(0, 2);
    else if (dir == ".") dir.clear();
    return dir.empty() ? name : dir + "/" + name;
}

}  // namespace

std::string unchangedNames(const std::string& snapshotFile, const std::function<void(const std::string&)>& each) {
    std::ifstream in(snapshotFile, std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line) || !line.starts_with("GNU tar-") || !line.ends_with("-2"))
        return "not a snapshot of format 2";
    std::string f;
    if (!field(in, f) || !field(in, f)) return "no time stamp";  // the run's own time: seconds, nanoseconds
    // A folder: nfs, seconds, nanoseconds, device, inode, name, then its entries
    // ("Yname", "Nname", "Dname"), then an empty field.
    while (field(in, f)) {
        if (f.empty()) continue;  // the records' own terminator
        std::string folder;
        for (int i = 0; i < 5; ++i)
            if (!field(in, folder)) return "a folder record is cut short";
        while (true) {
            if (!field(in, f)) return "the contents of " + folder + " are cut short";
            if (f.empty()) break;
            if (f[0] == 'N' && f.size() > 1) each(relative(folder, f.substr(1)));
        }
    }
    return {};
}

}  // namespace kelvaro::ntbackup
