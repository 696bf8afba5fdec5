#include "platform/linux/WavFile.h"

#include <cstring>
#include <fstream>

namespace kelvaro::linuxp {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
// The tail of KSDATAFORMAT_SUBTYPE_PCM after its first two bytes (the format tag).
constexpr std::uint8_t kPcmGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                           0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
// The program's sounds are short; a bigger file is cut, not loaded whole.
constexpr std::size_t kMaxFileBytes = 64u << 20;

std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

std::optional<WavSound> parseWav(const std::vector<std::uint8_t>& bytes) {
    const std::size_t size = bytes.size();
    const std::uint8_t* b = bytes.data();
    if (size < 12 || std::memcmp(b, "RIFF", 4) != 0 || std::memcmp(b + 8, "WAVE", 4) != 0)
        return std::nullopt;

    WavSound sound;
    bool haveFormat = false;
    std::size_t dataPos = 0, dataLen = 0;
    bool haveData = false;

    std::size_t pos = 12;
    while (pos + 8 <= size && !(haveFormat && haveData)) {
        const std::uint8_t* id = b + pos;
        const std::uint64_t chunkLen = le32(b + pos + 4);
        const std::size_t body = pos + 8;
        const std::size_t available = size - body;
        if (std::memcmp(id, "fmt ", 4) == 0) {
            if (chunkLen < 16 || available < 16) return std::nullopt;
            const std::uint8_t* f = b + body;
            std::uint16_t tag = le16(f);
            if (tag == kFormatExtensible) {
                if (chunkLen < 40 || available < 40) return std::nullopt;
                if (std::memcmp(f + 26, kPcmGuidTail, sizeof kPcmGuidTail) != 0) return std::nullopt;
                tag = le16(f + 24);
            }
            if (tag != kFormatPcm) return std::nullopt;
            sound.channels = le16(f + 2);
            sound.sampleRate = static_cast<int>(le32(f + 4));
            sound.bitsPerSample = le16(f + 14);
            if (sound.channels != 1 && sound.channels != 2) return std::nullopt;
            if (sound.bitsPerSample != 8 && sound.bitsPerSample != 16) return std::nullopt;
            if (sound.sampleRate < 1000 || sound.sampleRate > 768000) return std::nullopt;
            haveFormat = true;
        } else if (std::memcmp(id, "data", 4) == 0) {
            dataPos = body;
            dataLen = static_cast<std::size_t>(chunkLen < available ? chunkLen : available);
            haveData = true;
        }
        pos = body + static_cast<std::size_t>(chunkLen + (chunkLen & 1));  // chunks are word-aligned
    }
    if (!haveFormat || !haveData) return std::nullopt;

    const std::size_t whole = dataLen - dataLen % static_cast<std::size_t>(sound.frameBytes());
    sound.samples.assign(b + dataPos, b + dataPos + whole);
    return sound;
}

std::optional<WavSound> readWavFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    char buf[64 * 1024];
    while (bytes.size() < kMaxFileBytes && in.read(buf, sizeof buf).gcount() > 0)
        bytes.insert(bytes.end(), buf, buf + in.gcount());
    return parseWav(bytes);
}

}  // namespace kelvaro::linuxp
