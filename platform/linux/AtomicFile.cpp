#include "platform/linux/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace kelvaro::linuxp {
namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

int makeFolders(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    const std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        if (const int err = makeFolders(path.substr(0, slash))) return err;
    }
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    return 0;
}

int writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

}  // namespace

SmallFile readSmallFile(const std::string& path, std::size_t maxBytes) {
    SmallFile file;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        file.exists = errno != ENOENT && errno != ENOTDIR;
        if (file.exists) file.problem = std::strerror(errno);
        return file;
    }
    file.exists = true;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        file.problem = std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        file.problem = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "It is not a regular file";
    } else {
        std::vector<char> buf(4096);
        for (;;) {
            const ssize_t n = ::read(fd, buf.data(), buf.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) file.problem = std::strerror(errno);
            if (n <= 0) break;
            file.text.append(buf.data(), static_cast<std::size_t>(n));
            if (file.text.size() > maxBytes) {
                file.problem = "It is larger than " + std::to_string(maxBytes) + " bytes";
                break;
            }
        }
    }
    ::close(fd);
    if (!file.problem.empty()) file.text.clear();
    return file;
}

int replaceFile(const std::string& path, const std::string& text, mode_t mode, bool makeMissingFolders) {
    const std::string folder = folderOf(path);
    if (makeMissingFolders)
        if (const int err = makeFolders(folder)) return err;
    // In the file's own folder: rename replaces a file atomically only there.
    std::string temp = folder + "/." + nameOf(path) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return errno;
    int err = writeAll(fd, text);
    if (!err && ::fchmod(fd, mode) != 0) err = errno;
    if (!err && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && !err) err = errno;
    if (!err && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
    if (err) {
        ::unlink(temp.c_str());
        return err;
    }
    // Make the rename itself durable; the new file is complete either way.
    if (const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return 0;
}

void removeStaleTemporaries(const std::string& path) {
    const std::string prefix = "." + nameOf(path) + ".";
    DIR* dir = ::opendir(folderOf(path).c_str());
    if (!dir) return;
    const int dfd = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
        struct stat st {};
        if (::fstatat(dfd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid())
            ::unlinkat(dfd, e->d_name, 0);
    }
    ::closedir(dir);
}

}  // namespace kelvaro::linuxp
