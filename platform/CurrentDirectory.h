#pragma once
#include <string>

namespace kelvaro::platform {

// The process's current directory, in its Windows form ("C:\TOOLS").
class CurrentDirectory {
public:
    virtual ~CurrentDirectory() = default;
    virtual std::string get() = 0;
};

}  // namespace kelvaro::platform
