#pragma once
#include <string>

namespace kelvaro::platform {

// Looks for a top-level window of any application by its whole title.
class WindowFinder {
public:
    virtual ~WindowFinder() = default;
    virtual bool existsWithTitle(const std::string& title) = 0;
};

}  // namespace kelvaro::platform
