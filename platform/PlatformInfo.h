#pragma once

namespace kelvaro::platform {

// Answers whether the system is of the Windows NT family.
class PlatformInfo {
public:
    virtual ~PlatformInfo() = default;
    virtual bool isWindowsNT() = 0;
};

}  // namespace kelvaro::platform
