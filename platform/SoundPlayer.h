#pragma once
#include <string>

namespace kelvaro::platform {

// Plays a WAV file given by name without directory; a missing file is silent.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const std::string& fileName, bool wait) = 0;
};

}  // namespace kelvaro::platform
