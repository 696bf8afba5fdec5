#pragma once
#include "platform/CurrentDirectory.h"
#include "platform/linux/DriveMap.h"

namespace kelvaro::linuxp {

// The process's current directory as the program's Windows paths name it
// ("C:\logs", or "C:\" at a drive's own directory).
class LinuxCurrentDirectory : public platform::CurrentDirectory {
public:
    explicit LinuxCurrentDirectory(const DriveMap& drives) : drives_(drives) {}
    // Empty when the directory is gone or no drive covers it.
    std::string get() override;

private:
    const DriveMap& drives_;
};

}  // namespace kelvaro::linuxp
