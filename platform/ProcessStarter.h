#pragma once
#include <optional>
#include <string>

namespace kelvaro::platform {

enum class ShowState {
    NormalFocus = 1,          // normal window that takes the focus
    MinimizedNoActivate = 7,  // minimised, does not take the focus
};

struct SystemError {
    int number = 0;
    std::string description;
};

// Starts a Windows-style command line as a new process and returns at once.
class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // Empty on success, otherwise the error number and its description.
    virtual std::optional<SystemError> start(const std::string& commandLine, ShowState show) = 0;
};

}  // namespace kelvaro::platform
