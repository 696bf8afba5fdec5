#pragma once
#include "platform/FileDeleter.h"
#include "platform/linux/DriveMap.h"

namespace kelvaro::linuxp {

// Removes the one file a Windows path names, through the drive map. The name is
// taken literally ("a*.log" is a file called that, not a pattern); directories are
// refused. A drive that does not exist counts as a missing file.
class LinuxFileDeleter : public platform::FileDeleter {
public:
    explicit LinuxFileDeleter(const DriveMap& drives) : drives_(drives) {}
    std::optional<platform::SystemError> remove(const std::string& windowsPath) override;

private:
    const DriveMap& drives_;
};

}  // namespace kelvaro::linuxp
