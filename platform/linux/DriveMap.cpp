#include "platform/linux/DriveMap.h"

#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace kelvaro::linuxp {

namespace {

namespace fs = std::filesystem;

std::string homeDirectory() {
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && *pw->pw_dir) return pw->pw_dir;
    return "/";
}

std::string configHome() {
    // A relative XDG_CONFIG_HOME is invalid by the XDG rules and is ignored.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return xdg;
    return homeDirectory() + "/.config";
}

std::optional<std::string> currentDirectory() {
    std::vector<char> buf(4096);
    for (;;) {
        if (getcwd(buf.data(), buf.size())) return std::string(buf.data());
        if (errno != ERANGE) return std::nullopt;
        buf.resize(buf.size() * 2);
    }
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isSeparator(char c) { return c == '\\' || c == '/'; }

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Splits on both separators; "." is dropped and ".." climbs, but never above the
// drive's root, as on Windows.
std::vector<std::string> normalComponents(const std::string& rest) {
    std::vector<std::string> out;
    std::string part;
    auto flush = [&] {
        if (part.empty() || part == ".") {
        } else if (part == "..") {
            if (!out.empty()) out.pop_back();
        } else {
            out.push_back(part);
        }
        part.clear();
    };
    for (char c : rest) {
        if (isSeparator(c)) flush();
        else part += c;
    }
    flush();
    return out;
}

// Absolute, lexically normal, no trailing slash except for "/" itself.
std::string tidyPosix(const fs::path& p) {
    std::string s = p.lexically_normal().string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

// True when the drive target is the path itself or one of its parent folders.
bool covers(const std::string& target, const std::string& path) {
    if (target == "/") return !path.empty() && path[0] == '/';
    if (path.compare(0, target.size(), target) != 0) return false;
    return path.size() == target.size() || path[target.size()] == '/';
}

}  // namespace

DriveMap::DriveMap() : root_(defaultRoot()) {}

DriveMap::DriveMap(std::string dosdevicesDir) : root_(std::move(dosdevicesDir)) {}

std::string DriveMap::defaultRoot() { return configHome() + "/Kelvaro Workstation/dosdevices"; }

bool DriveMap::ensureDefaults() { return ensureDefaults(homeDirectory()); }

bool DriveMap::ensureDefaults(const std::string& homeDir) {
    struct stat st {};
    if (stat(root_.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    if (errno != ENOENT) return false;

    std::error_code ec;
    const fs::path rootPath(root_);
    const fs::path parent = rootPath.parent_path().empty() ? fs::path(".") : rootPath.parent_path();
    fs::create_directories(parent, ec);

    // Built aside and renamed into place, so that a second instance starting at the
    // same moment never sees a half-made map.
    std::string tmpl = (parent / ".dosdevices-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return false;
    const std::string c = tmpl + "/c:";
    const std::string z = tmpl + "/z:";
    const bool linked = symlink(homeDir.c_str(), c.c_str()) == 0 && symlink("/", z.c_str()) == 0;
    if (linked && rename(tmpl.c_str(), root_.c_str()) == 0) return true;
    unlink(c.c_str());
    unlink(z.c_str());
    rmdir(tmpl.c_str());
    return isDirectory(root_);
}

std::optional<std::string> DriveMap::target(char letter) const {
    if (!isLetter(letter)) return std::nullopt;
    const std::string link = root_ + "/" + lower(letter) + ":";
    struct stat lst {};
    if (lstat(link.c_str(), &lst) != 0 || !S_ISLNK(lst.st_mode)) return std::nullopt;
    // realpath fails on dangling and looping links and on unreadable folders alike.
    std::unique_ptr<char, decltype(&free)> resolved(realpath(link.c_str(), nullptr), &free);
    if (!resolved) return std::nullopt;
    std::string dir(resolved.get());
    if (!isDirectory(dir)) return std::nullopt;
    return dir;
}

std::optional<std::string> DriveMap::toPosix(const std::string& windowsPath) const {
    char letter = 0;
    std::string rest;
    const std::string& p = windowsPath;
    if (p.size() >= 2 && isLetter(p[0]) && p[1] == ':') {
        // "C:foo" is read as "C:\foo": there is no per-drive current directory here.
        letter = p[0];
        rest = p.substr(2);
    } else if (p.size() >= 2 && isSeparator(p[0]) && isSeparator(p[1])) {
        return std::nullopt;  // UNC: no share to map it to
    } else {
        const auto cwd = currentDirectory();
        if (!cwd) return std::nullopt;
        const auto cwdWindows = toWindows(*cwd);
        if (!cwdWindows) return std::nullopt;
        letter = (*cwdWindows)[0];
        rest = (!p.empty() && isSeparator(p[0])) ? p : cwdWindows->substr(2) + "\\" + p;
    }
    const auto base = target(letter);
    if (!base) return std::nullopt;
    std::string out = *base;
    for (const auto& part : normalComponents(rest)) {
        if (out.back() != '/') out += '/';
        out += part;
    }
    return out;
}

std::optional<std::string> DriveMap::toWindows(const std::string& posixPath) const {
    if (posixPath.empty()) return std::nullopt;
    fs::path path(posixPath);
    if (path.is_relative()) {
        const auto cwd = currentDirectory();
        if (!cwd) return std::nullopt;
        path = fs::path(*cwd) / path;
    }
    // The targets are resolved paths; the path is tried as written and resolved, so
    // a path through a symbolic link still finds its drive.
    std::vector<std::string> forms{tidyPosix(path)};
    std::error_code ec;
    const fs::path canonical = fs::weakly_canonical(path, ec);
    if (!ec) forms.push_back(tidyPosix(canonical));

    char bestLetter = 0;
    std::string bestTarget;
    std::string bestForm;
    for (char l = 'a'; l <= 'z'; ++l) {
        const auto t = target(l);
        if (!t) continue;
        for (const auto& form : forms) {
            if (covers(*t, form) && (bestLetter == 0 || t->size() > bestTarget.size())) {
                bestLetter = l;
                bestTarget = *t;
                bestForm = form;
            }
        }
    }
    if (bestLetter == 0) return std::nullopt;

    std::string rest = bestForm.substr(bestTarget == "/" ? 1 : bestTarget.size());
    if (!rest.empty() && rest[0] == '/') rest.erase(0, 1);
    std::string out{upper(bestLetter), ':', '\\'};
    for (char c : rest) out += (c == '/') ? '\\' : c;
    return out;
}

}  // namespace kelvaro::linuxp
