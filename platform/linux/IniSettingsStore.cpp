#include "platform/linux/IniSettingsStore.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace kelvaro::linuxp {
namespace {

constexpr const char* kFileName = "settings.ini";
// A settings file is a few kilobytes; anything far larger is not ours to read whole.
constexpr std::size_t kMaxRead = 16u << 20;

std::string homeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && *pw->pw_dir) return pw->pw_dir;
    return "/";
}

// The file's text, or empty when there is none or it is not a regular file
// (opening without blocking, so that a FIFO in its place cannot hang start-up).
std::string readWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return {};
    std::string text;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        std::vector<char> buf(64 * 1024);
        while (text.size() < kMaxRead) {
            const ssize_t n = ::read(fd, buf.data(), buf.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            text.append(buf.data(), static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    return text;
}

// Creates the folder and any missing parents with owner-only access.
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
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

}  // namespace

IniSettingsStore::IniSettingsStore(std::string configHome)
    : configHome_(configHome.empty() ? defaultConfigHome() : std::move(configHome)) {
    fileFor(kProgramApp);
}

std::string IniSettingsStore::defaultConfigHome() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') return xdg;
    std::string home = homeDirectory();
    if (home.size() > 1 && home.back() == '/') home.pop_back();
    return (home == "/" ? "" : home) + "/.config";
}

std::string IniSettingsStore::folderPath(const std::string& app) const {
    // The application name is one folder name: no way out of the config folder.
    std::string name = app;
    for (char& c : name)
        if (c == '/' || c == '\0') c = '_';
    if (name.empty() || name == "." || name == "..") name = "_" + name;
    return configHome_ + "/" + name;
}

std::string IniSettingsStore::filePath(const std::string& app) const {
    return folderPath(app) + "/" + kFileName;
}

IniSettingsStore::AppFile& IniSettingsStore::fileFor(const std::string& app) {
    auto it = files_.find(app);
    if (it == files_.end())
        it = files_.emplace(app, AppFile{IniDocument::parse(readWholeFile(filePath(app))), false}).first;
    return it->second;
}

std::string IniSettingsStore::get(const std::string& app, const std::string& section,
                                  const std::string& key, const std::string& def) {
    const std::string* v = fileFor(app).doc.find(section, key);
    return v ? *v : def;
}

void IniSettingsStore::save(const std::string& app, const std::string& section,
                            const std::string& key, const std::string& value) {
    AppFile& f = fileFor(app);
    f.doc.set(section, key, value);
    f.dirty = true;
}

std::optional<platform::CommitError> IniSettingsStore::commit() {
    for (auto& [app, file] : files_) {
        if (!file.dirty) continue;
        if (const int err = writeFile(app, file)) return platform::CommitError{filePath(app), std::strerror(err)};
        file.dirty = false;
    }
    return std::nullopt;
}

int IniSettingsStore::writeFile(const std::string& app, const AppFile& file) const {
    const std::string folder = folderPath(app);
    if (const int err = makeFolders(folder)) return err;

    std::string temp = folder + "/." + kFileName + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return errno;

    int err = writeAll(fd, file.doc.serialize());
    if (!err && ::fchmod(fd, 0600) != 0) err = errno;
    if (!err && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && !err) err = errno;
    if (!err && ::rename(temp.c_str(), filePath(app).c_str()) != 0) err = errno;
    if (err) {
        ::unlink(temp.c_str());
        return err;
    }
    // Make the rename itself durable; the new file is already complete either way.
    if (const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return 0;
}

}  // namespace kelvaro::linuxp
