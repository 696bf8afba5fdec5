#include "platform/linux/LinuxFileLocator.h"

#include <sys/stat.h>

namespace kelvaro::linuxp {

std::string LinuxFileLocator::localPath(const std::string& windowsPath) {
    return drives_.toPosix(windowsPath).value_or(std::string());
}

bool LinuxFileLocator::exists(const std::string& windowsPath) {
    const std::string path = localPath(windowsPath);
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

}  // namespace kelvaro::linuxp
