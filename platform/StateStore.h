#pragma once
#include <optional>
#include <string>

namespace kelvaro::platform {

// Why the state could not be read or written: where it lives and the system's reason.
struct StateProblem {
    std::string file;
    std::string reason;
};

// What a read found: the text last written, none when nothing was written yet,
// or the problem that kept an existing one from being read.
struct StateRead {
    std::optional<std::string> text;
    std::optional<StateProblem> problem;
};

// A small text of the program's own that outlives the process (not a setting:
// the user never edits it). Each write replaces it whole, so that a read
// finds either the old text or the new one.
class StateStore {
public:
    virtual ~StateStore() = default;
    virtual StateRead read() = 0;
    virtual std::optional<StateProblem> write(const std::string& text) = 0;
    // Where it lives, for what the user is told.
    virtual std::string location() const = 0;
};

}  // namespace kelvaro::platform
