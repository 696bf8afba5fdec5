#include "platform/linux/LinuxFileDeleter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/PosixErrors.h"

namespace kelvaro::linuxp {

std::optional<platform::SystemError> LinuxFileDeleter::remove(const std::string& windowsPath) {
    const auto path = drives_.toPosix(windowsPath);
    if (!path) return systemErrorFromErrno(ENOENT);
    struct stat st {};
    if (lstat(path->c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return systemErrorFromErrno(EISDIR);
    if (unlink(path->c_str()) != 0) return systemErrorFromErrno(errno);
    return std::nullopt;
}

}  // namespace kelvaro::linuxp
