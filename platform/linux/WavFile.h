#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvaro::linuxp {

// Uncompressed PCM sound from a RIFF/WAVE file: 8-bit unsigned or 16-bit
// signed little-endian samples, mono or stereo, interleaved.
struct WavSound {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    std::vector<std::uint8_t> samples;  // whole frames only

    int frameBytes() const { return channels * bitsPerSample / 8; }
    std::size_t frames() const { return frameBytes() ? samples.size() / frameBytes() : 0; }
};

// The sound in a file's bytes, or nothing when they are not a PCM WAV file we
// can play. A data chunk cut short by the end of the file keeps the whole
// frames that are there.
std::optional<WavSound> parseWav(const std::vector<std::uint8_t>& bytes);

// Reads and parses a file; nothing when it cannot be read or parsed.
std::optional<WavSound> readWavFile(const std::string& path);

}  // namespace kelvaro::linuxp
