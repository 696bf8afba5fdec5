#pragma once
#include <optional>
#include <string>

#include "platform/ProcessStarter.h"

namespace kelvaro::platform {

// Deletes exactly the one file named (a Windows path), never a pattern.
class FileDeleter {
public:
    virtual ~FileDeleter() = default;
    virtual std::optional<SystemError> remove(const std::string& windowsPath) = 0;
};

}  // namespace kelvaro::platform
