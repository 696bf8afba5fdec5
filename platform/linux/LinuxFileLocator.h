#pragma once
#include "platform/FileLocator.h"
#include "platform/linux/DriveMap.h"

namespace kelvaro::linuxp {

// Windows paths to files here, through the drive map.
class LinuxFileLocator : public platform::FileLocator {
public:
    explicit LinuxFileLocator(const DriveMap& drives) : drives_(drives) {}
    std::string localPath(const std::string& windowsPath) override;
    bool exists(const std::string& windowsPath) override;

private:
    const DriveMap& drives_;
};

}  // namespace kelvaro::linuxp
