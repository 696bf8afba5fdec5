#pragma once
#include <optional>
#include <string>

namespace kelvaro::platform {

// Why a commit could not make the saves durable: the file and the system's reason.
struct CommitError {
    std::string file;
    std::string reason;
};

// Per-user store of text values addressed by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or `def` when the application, section or key is missing.
    virtual std::string get(const std::string& app, const std::string& section,
                            const std::string& key, const std::string& def) = 0;
    // Creates or replaces the value; application and section are created as needed.
    virtual void save(const std::string& app, const std::string& section,
                      const std::string& key, const std::string& value) = 0;
    // Makes every save since the last commit durable in one step. A backing that
    // writes through on each save does nothing here. On failure the saves stay
    // in memory (get returns them) and the next commit tries them all again;
    // the caller decides what the user is told.
    virtual std::optional<CommitError> commit() { return std::nullopt; }
};

}  // namespace kelvaro::platform
