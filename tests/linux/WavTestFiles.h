#pragma once
// Builds WAV file bytes for the tests: a format chunk, optional extra chunks,
// and a data chunk of recognisable samples.
#include <cstdint>
#include <string>
#include <vector>

namespace kelvaro::testsupport {

struct WavShape {
    std::uint16_t formatTag = 1;  // PCM
    std::uint16_t channels = 1;
    std::uint32_t rate = 8000;
    std::uint16_t bits = 16;
    std::size_t frames = 100;
    bool extensible = false;      // WAVE_FORMAT_EXTENSIBLE wrapping formatTag
    bool dataBeforeFormat = false;
    std::string extraChunk;       // id of an odd-sized chunk placed first, if any
};

class WavBytes {
public:
    static std::vector<std::uint8_t> samples(const WavShape& s) {
        std::vector<std::uint8_t> d(s.frames * s.channels * s.bits / 8);
        for (std::size_t i = 0; i < d.size(); ++i) d[i] = static_cast<std::uint8_t>(i * 37 + 11);
        return d;
    }

    static std::vector<std::uint8_t> make(const WavShape& s) {
        std::vector<std::uint8_t> fmt;
        put16(fmt, s.extensible ? 0xFFFE : s.formatTag);
        put16(fmt, s.channels);
        put32(fmt, s.rate);
        put32(fmt, s.rate * s.channels * s.bits / 8);
        put16(fmt, static_cast<std::uint16_t>(s.channels * s.bits / 8));
        put16(fmt, s.bits);
        if (s.extensible) {
            put16(fmt, 22);
            put16(fmt, s.bits);
            put32(fmt, s.channels == 2 ? 3 : 4);
            put16(fmt, s.formatTag);
            const std::uint8_t tail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                           0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
            fmt.insert(fmt.end(), tail, tail + 14);
        }
        std::vector<std::uint8_t> body = {'W', 'A', 'V', 'E'};
        if (!s.extraChunk.empty()) chunk(body, s.extraChunk, {'a', 'b', 'c'});  // 3 bytes + pad
        if (s.dataBeforeFormat) chunk(body, "data", samples(s));
        chunk(body, "fmt ", fmt);
        if (!s.dataBeforeFormat) chunk(body, "data", samples(s));
        std::vector<std::uint8_t> out = {'R', 'I', 'F', 'F'};
        put32(out, static_cast<std::uint32_t>(body.size()));
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }

private:
    static void put16(std::vector<std::uint8_t>& v, std::uint32_t x) {
        v.push_back(x & 0xFF);
        v.push_back((x >> 8) & 0xFF);
    }
    static void put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
        put16(v, x & 0xFFFF);
        put16(v, x >> 16);
    }
    static void chunk(std::vector<std::uint8_t>& v, const std::string& id, const std::vector<std::uint8_t>& d) {
        v.insert(v.end(), id.begin(), id.end());
        put32(v, static_cast<std::uint32_t>(d.size()));
        v.insert(v.end(), d.begin(), d.end());
        if (d.size() % 2) v.push_back(0);
    }
};

}  // namespace kelvaro::testsupport
