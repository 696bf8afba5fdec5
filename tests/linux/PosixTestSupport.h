#pragma once
// Small helpers for tests of the POSIX backings: scratch folders, environment and
// current-directory changes that are undone, files written and awaited.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/ProcessStarter.h"

namespace kelvaro::platform {
// Readable failure messages for expected errors.
inline void PrintTo(const SystemError& e, std::ostream* os) {
    *os << "{" << e.number << ", \"" << e.description << "\"}";
}
}  // namespace kelvaro::platform

namespace kelvaro::posixtest {

class ScratchDir {
public:
    ScratchDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "kelvaro-test-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        // Resolved, so that paths compare equal to what the code under test resolves.
        path_ = std::filesystem::canonical(tmpl).string();
    }
    ~ScratchDir() {
        std::error_code ec;
        // Make everything removable again (tests take permissions away).
        for (auto it = std::filesystem::recursive_directory_iterator(
                 path_, std::filesystem::directory_options::skip_permission_denied, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_directory(ec) && !it->is_symlink(ec)) chmod(it->path().c_str(), 0700);
        }
        chmod(path_.c_str(), 0700);
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Sets (or with nullopt unsets) one environment variable until the end of scope.
class EnvOverride {
public:
    EnvOverride(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str())) old_ = old;
        if (value) setenv(name_.c_str(), value->c_str(), 1);
        else unsetenv(name_.c_str());
    }
    ~EnvOverride() {
        if (old_) setenv(name_.c_str(), old_->c_str(), 1);
        else unsetenv(name_.c_str());
    }
    EnvOverride(const EnvOverride&) = delete;
    EnvOverride& operator=(const EnvOverride&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

class CwdOverride {
public:
    explicit CwdOverride(const std::string& dir) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~CwdOverride() {
        std::error_code ec;
        std::filesystem::current_path(old_, ec);
    }
    CwdOverride(const CwdOverride&) = delete;
    CwdOverride& operator=(const CwdOverride&) = delete;

private:
    std::filesystem::path old_;
};

inline void writeFile(const std::string& path, const std::string& text, mode_t mode = 0644) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
    }
    chmod(path.c_str(), mode);
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline bool exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

// Polls until the file exists or the deadline passes.
inline bool waitForFile(const std::string& path, std::chrono::milliseconds deadline) {
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (std::chrono::steady_clock::now() < until) {
        if (exists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return exists(path);
}

}  // namespace kelvaro::posixtest
