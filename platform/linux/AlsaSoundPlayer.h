#pragma once
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/SoundPlayer.h"

namespace kelvaro::linuxp {

// Plays WAV files through ALSA. A name is looked up in the current directory,
// then in each folder given, in order (exact name first, then ignoring case, as
// the names come from a case-blind system). Every failure is silent: a missing
// or unreadable file, one that is not PCM WAV, no audio device.
//
// A sound that does not wait plays on a background thread; a new sound stops
// it first, as one system sound replaces another. Destruction stops it too, so
// quitting never waits for a sound.
class AlsaSoundPlayer : public platform::SoundPlayer {
public:
    explicit AlsaSoundPlayer(std::vector<std::string> folders, std::string device = "default");
    ~AlsaSoundPlayer() override;
    AlsaSoundPlayer(const AlsaSoundPlayer&) = delete;
    AlsaSoundPlayer& operator=(const AlsaSoundPlayer&) = delete;

    void play(const std::string& fileName, bool wait) override;

    // The file a name stands for, or nothing when none of the folders holds it.
    std::optional<std::string> locate(const std::string& fileName) const;
    // Blocks until a sound playing in the background has ended.
    void waitUntilIdle();
    // Frames handed to the audio device since construction, all sounds together.
    long long framesPlayed() const { return *framesPlayed_; }

private:
    void stopBackground();

    std::vector<std::string> folders_;
    std::string device_;
    std::thread worker_;
    std::shared_ptr<std::atomic<bool>> stopWorker_;
    std::shared_ptr<std::atomic<long long>> framesPlayed_;
};

}  // namespace kelvaro::linuxp
