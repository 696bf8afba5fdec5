#pragma once
#include <string>

namespace kelvaro::platform {

// Loads an icon file (Windows path) so that it can become the window icon.
class IconLoader {
public:
    virtual ~IconLoader() = default;
    virtual bool load(const std::string& windowsPath) = 0;
};

}  // namespace kelvaro::platform
