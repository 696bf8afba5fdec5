#include "platform/linux/SessionBusProbe.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string_view>

namespace kelvaro::linuxp {

namespace {

bool given(const char* value) { return value && *value; }

bool executable(const std::string& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(file.c_str(), X_OK) == 0;
}

}  // namespace

bool sessionBusPossible(const char* address, const char* runtimeDir, const char* path, const std::string& launcher) {
    if (given(address)) return true;
    // Whatever stands there, libdbus may take it: only its absence is certain.
    struct stat st {};
    if (given(runtimeDir) && ::stat((std::string(runtimeDir) + "/bus").c_str(), &st) == 0) return true;
    if (executable(launcher)) return true;
    // As execvp looks the launcher up: without a PATH in /bin and /usr/bin, and
    // an empty entry is the current folder. (Not the process starter's
    // findOnPath: it skips relative entries on purpose, and libdbus would not.)
    std::string_view rest(path ? path : "/bin:/usr/bin");
    for (;;) {
        const auto colon = rest.find(':');
        const std::string folder(rest.substr(0, colon));
        if (executable((folder.empty() ? std::string(".") : folder) + "/dbus-launch")) return true;
        if (colon == std::string_view::npos) return false;
        rest.remove_prefix(colon + 1);
    }
}

}  // namespace kelvaro::linuxp
