#include "ntbackup/posix/WindowSide.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace kelvaro::ntbackup {

namespace {

std::string ownFolder() {
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self);
    if (n <= 0 || n == static_cast<ssize_t>(sizeof self)) return {};
    const std::string path(self, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

}  // namespace

const WindowSide* loadWindowSide(std::string& error) {
    static const WindowSide* side = nullptr;
    static std::string why;
    static bool tried = false;
    if (!tried) {
        tried = true;
        const std::string file = ownFolder() + kWindowSideFile;
        if (void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            using Entry = const WindowSide* (*)();
            if (const auto entry = reinterpret_cast<Entry>(dlsym(module, kWindowSideEntry))) side = entry();
            else why = file + " has no " + kWindowSideEntry;
        } else {
            const char* e = dlerror();
            why = e ? e : file + " cannot be loaded";
        }
    }
    error = why;
    return side;
}

}  // namespace kelvaro::ntbackup
