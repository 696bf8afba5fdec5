#include "platform/linux/FileStateStore.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/linux/AtomicFile.h"

namespace kelvaro::linuxp {
namespace {

constexpr const char* kFileName = "schedule.state";
// The state is a few lines; anything far larger is not ours.
constexpr std::size_t kMaxRead = 64 * 1024;

}  // namespace

FileStateStore::FileStateStore(const std::string& app, std::string stateHome) {
    std::string folder = app;
    for (char& c : folder)
        if (c == '/' || c == '\0') c = '_';
    path_ = (stateHome.empty() ? defaultStateHome() : stateHome) + "/" + folder + "/" + kFileName;
    removeStaleTemporaries(path_);
}

std::string FileStateStore::defaultStateHome() {
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && xdg[0] == '/') return xdg;
    std::string home;
    if (const char* h = std::getenv("HOME"); h && *h)
        home = h;
    else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        home = pw->pw_dir;
    while (!home.empty() && home.back() == '/') home.pop_back();
    return home + "/.local/state";
}

platform::StateRead FileStateStore::read() {
    const SmallFile file = readSmallFile(path_, kMaxRead);
    if (!file.problem.empty()) return {std::nullopt, platform::StateProblem{path_, file.problem}};
    if (!file.exists) return {};
    return {file.text, std::nullopt};
}

std::optional<platform::StateProblem> FileStateStore::write(const std::string& text) {
    if (const int err = replaceFile(path_, text)) return platform::StateProblem{path_, std::strerror(err)};
    return std::nullopt;
}

}  // namespace kelvaro::linuxp
