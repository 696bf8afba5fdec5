#pragma once
#include <string>

#include "platform/StateStore.h"

namespace kelvaro::linuxp {

// The program's state as one file, $XDG_STATE_HOME/<application>/schedule.state
// (XDG_STATE_HOME defaults to ~/.local/state), mode 0600, replaced atomically.
class FileStateStore : public platform::StateStore {
public:
    // stateHome empty: taken from the environment now.
    explicit FileStateStore(const std::string& app, std::string stateHome = {});

    platform::StateRead read() override;
    std::optional<platform::StateProblem> write(const std::string& text) override;
    std::string location() const override { return path_; }

    // $XDG_STATE_HOME when it is an absolute path, otherwise ~/.local/state.
    static std::string defaultStateHome();

private:
    std::string path_;
};

}  // namespace kelvaro::linuxp
