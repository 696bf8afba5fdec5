#pragma once
#include <string>

namespace kelvaro::platform {

// Where a file the program names by its Windows path lies on this computer.
class FileLocator {
public:
    virtual ~FileLocator() = default;
    // The file's own path on this computer; empty when no drive holds it.
    virtual std::string localPath(const std::string& windowsPath) = 0;
    virtual bool exists(const std::string& windowsPath) = 0;
};

}  // namespace kelvaro::platform
