#include "platform/linux/IniSettingsStore.h"

#include "platform/linux/AtomicFile.h"

#include <dirent.h>
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
constexpr const char* kTooLarge = "It is larger than 16 MB";

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}


std::string homeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && *pw->pw_dir) return pw->pw_dir;
    return "/";
}

struct FileText {
    std::string text;
    std::string problem;  // why an existing file cannot be read; empty when it was read or is missing
};

// The file's text. A missing file is no problem (it reads as empty); any other
// failure is, since taking an unreadable file for an empty one would write the
// first-run values over the user's settings. Opened without blocking, so that a
// FIFO in its place cannot hang start-up.
FileText readWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    // ENOTDIR: a file where a folder of the path should be, so there is no
    // settings file either; the save reports the folder.
    if (fd < 0) return {{}, errno == ENOENT || errno == ENOTDIR ? std::string() : std::strerror(errno)};
    FileText file;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        file.problem = std::strerror(errno);
    } else if (S_ISDIR(st.st_mode)) {
        file.problem = std::strerror(EISDIR);
    } else if (!S_ISREG(st.st_mode)) {
        file.problem = "It is not a regular file";
    } else if (static_cast<std::size_t>(st.st_size) > kMaxRead) {
        file.problem = kTooLarge;
    } else {
        std::vector<char> buf(64 * 1024);
        for (;;) {
            const ssize_t n = ::read(fd, buf.data(), buf.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) file.problem = std::strerror(errno);
            if (n <= 0) break;
            file.text.append(buf.data(), static_cast<std::size_t>(n));
            if (file.text.size() > kMaxRead) {
                file.problem = kTooLarge;
                break;
            }
        }
    }
    ::close(fd);
    if (!file.problem.empty()) file.text.clear();
    return file;
}

// Where a save must go: the settings path itself, or, when that is a symbolic
// link (a dotfiles repository, a synced folder), the file the links lead to, so
// that the link stays a link. The end of the chain need not exist yet.
std::string followLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        std::vector<char> buf(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(path.c_str(), buf.data(), buf.size());
        if (n < 0 || static_cast<std::size_t>(n) >= buf.size()) break;
        const std::string to(buf.data(), static_cast<std::size_t>(n));
        path = !to.empty() && to.front() == '/' ? to : folderOf(path) + "/" + to;
    }
    return path;
}

// Whether `path` is a private regular file holding exactly `text`. Start-up
// alone saves about ten times, mostly what is already stored, and each write
// costs two fsyncs; a file changed, widened or removed by someone else is
// still written again.
bool holdsAlready(const std::string& path, const std::string& text) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || (st.st_mode & 07177) != 0 ||
        static_cast<std::size_t>(st.st_size) != text.size())
        return false;
    const FileText now = readWholeFile(path);
    return now.problem.empty() && now.text == text;
}

}  // namespace

IniSettingsStore::IniSettingsStore(std::string configHome)
    : configHome_(configHome.empty() ? defaultConfigHome() : std::move(configHome)) {
    if (!fileFor(kProgramApp).readProblem.empty()) return;
    removeStaleTemporaries(followLinks(filePath(kProgramApp)));
}

std::optional<std::string> IniSettingsStore::unreadableMessage() const {
    const auto it = files_.find(kProgramApp);
    if (it == files_.end() || it->second.readProblem.empty()) return std::nullopt;
    return "The settings file " + filePath(kProgramApp) + " cannot be read: " + it->second.readProblem +
           ". Nothing was changed. Fix the file and start Kelvaro Workstation again.";
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
    if (it == files_.end()) {
        FileText file = readWholeFile(filePath(app));
        it = files_.emplace(app, AppFile{IniDocument::parse(file.text), false, std::move(file.problem)}).first;
    }
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
        // A file that could not be read is never written over.
        if (!file.dirty || !file.readProblem.empty()) continue;
        if (const int err = writeFile(app, file)) return platform::CommitError{filePath(app), std::strerror(err)};
        file.dirty = false;
    }
    return std::nullopt;
}

int IniSettingsStore::writeFile(const std::string& app, const AppFile& file) const {
    const std::string path = filePath(app);
    const std::string target = followLinks(path);
    const std::string text = file.doc.serialize();
    if (holdsAlready(target, text)) return 0;
    // Owner-only, or stricter where the user made the file so.
    mode_t mode = 0600;
    if (struct stat st {}; ::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) mode = st.st_mode & 0600;
    // The folder is made for the settings path itself, never at the far end of a link.
    return replaceFile(target, text, mode, target == path);
}

}  // namespace kelvaro::linuxp
