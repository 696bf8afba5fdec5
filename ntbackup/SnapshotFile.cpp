#include "ntbackup/SnapshotFile.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

namespace kelvaro::ntbackup {

namespace {

// The NUL-terminated fields of a file, read a megabyte at a time (a snapshot
// holds two fields a file: a field per read call made this pass the slowest
// part of an Incremental's end).
class FieldReader {
public:
    explicit FieldReader(std::FILE* f) : file_(f) {}
    // The next field, valid until the next call; false at the end of the file.
    bool next(std::string_view& out) {
        carry_.clear();
        while (true) {
            if (at_ == end_ && !fill()) {
                if (carry_.empty()) return false;
                out = carry_;  // a last field without its NUL
                return true;
            }
            const auto* nul = static_cast<const char*>(std::memchr(at_, '\0', static_cast<std::size_t>(end_ - at_)));
            if (!nul) {
                carry_.append(at_, end_);
                at_ = end_;
                continue;
            }
            if (carry_.empty()) {
                out = std::string_view(at_, static_cast<std::size_t>(nul - at_));
            } else {
                carry_.append(at_, nul);
                out = carry_;
            }
            at_ = nul + 1;
            return true;
        }
    }
    // The first line (the format's name), before any field.
    bool line(std::string& out) {
        out.clear();
        while (true) {
            if (at_ == end_ && !fill()) return false;
            const auto* nl = static_cast<const char*>(std::memchr(at_, '\n', static_cast<std::size_t>(end_ - at_)));
            if (!nl) {
                out.append(at_, end_);
                at_ = end_;
                continue;
            }
            out.append(at_, nl);
            at_ = nl + 1;
            return true;
        }
    }

private:
    bool fill() {
        const std::size_t n = std::fread(buffer_.get(), 1, kSize, file_);
        at_ = buffer_.get();
        end_ = at_ + n;
        return n > 0;
    }
    static constexpr std::size_t kSize = 1 << 20;
    std::FILE* file_;
    std::unique_ptr<char[]> buffer_{new char[kSize]};
    const char* at_ = nullptr;
    const char* end_ = nullptr;
    std::string carry_;
};

}  // namespace

std::string unchangedNames(const std::string& snapshotFile, const std::function<void(const std::string&)>& each) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(snapshotFile.c_str(), "rb"), std::fclose);
    if (!file) return "not a snapshot of format 2";
    FieldReader in(file.get());
    std::string line;
    if (!in.line(line) || !line.starts_with("GNU tar-") || !line.ends_with("-2")) return "not a snapshot of format 2";
    std::string_view f;
    if (!in.next(f) || !in.next(f)) return "no time stamp";  // the run's own time: seconds, nanoseconds
    // A folder: nfs, seconds, nanoseconds, device, inode, name, then its entries
    // ("Yname", "Nname", "Dname"), then an empty field.
    std::string name, folder, path;
    while (in.next(f)) {
        if (f.empty()) continue;  // the records' own terminator
        for (int i = 0; i < 5; ++i)
            if (!in.next(f)) return "a folder record is cut short";
        name.assign(f);
        folder = name;
        if (folder.starts_with("./")) folder.erase(0, 2);
        else if (folder == ".") folder.clear();
        if (!folder.empty()) folder += '/';
        while (true) {
            if (!in.next(f)) return "the contents of " + name + " are cut short";
            if (f.empty()) break;
            if (f[0] == 'N' && f.size() > 1) {
                path.assign(folder);
                path.append(f.substr(1));
                each(path);
            }
        }
    }
    return {};
}

}  // namespace kelvaro::ntbackup
