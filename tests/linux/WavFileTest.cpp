// The RIFF/WAVE reader with generated files: valid ones of each kind,
// truncated ones and ones that are not PCM WAV at all.
#include <gtest/gtest.h>

#include "platform/linux/WavFile.h"
#include "tests/linux/TempFolder.h"
#include "tests/linux/WavTestFiles.h"

using kelvaro::linuxp::parseWav;
using kelvaro::linuxp::readWavFile;
using kelvaro::testsupport::TempFolder;
using kelvaro::testsupport::WavBytes;
using kelvaro::testsupport::WavShape;
using Bytes = std::vector<std::uint8_t>;

TEST(WavFile, SixteenBitStereo) {
    WavShape shape;
    shape.channels = 2;
    shape.rate = 44100;
    shape.frames = 100;
    const auto sound = parseWav(WavBytes::make(shape));
    ASSERT_TRUE(sound.has_value());
    EXPECT_EQ(sound->channels, 2);
    EXPECT_EQ(sound->sampleRate, 44100);
    EXPECT_EQ(sound->bitsPerSample, 16);
    EXPECT_EQ(sound->frames(), 100u);
    EXPECT_EQ(sound->samples, WavBytes::samples(shape));
}

TEST(WavFile, EightBitMonoAnyRate) {
    WavShape shape;
    shape.bits = 8;
    shape.rate = 11025;
    shape.frames = 37;  // odd: the data chunk is padded
    const auto sound = parseWav(WavBytes::make(shape));
    ASSERT_TRUE(sound.has_value());
    EXPECT_EQ(sound->channels, 1);
    EXPECT_EQ(sound->sampleRate, 11025);
    EXPECT_EQ(sound->bitsPerSample, 8);
    EXPECT_EQ(sound->samples, WavBytes::samples(shape));
}

TEST(WavFile, OtherChunksAndChunkOrderAreHandled) {
    WavShape shape;
    shape.extraChunk = "LIST";
    shape.dataBeforeFormat = true;
    const auto sound = parseWav(WavBytes::make(shape));
    ASSERT_TRUE(sound.has_value());
    EXPECT_EQ(sound->samples, WavBytes::samples(shape));
}

TEST(WavFile, ExtensibleFormatHoldingPcm) {
    WavShape shape;
    shape.extensible = true;
    shape.channels = 2;
    const auto sound = parseWav(WavBytes::make(shape));
    ASSERT_TRUE(sound.has_value());
    EXPECT_EQ(sound->channels, 2);
    EXPECT_EQ(sound->samples, WavBytes::samples(shape));
    shape.formatTag = 3;  // float inside the extensible wrapper
    EXPECT_FALSE(parseWav(WavBytes::make(shape)).has_value());
}

TEST(WavFile, DataCutShortKeepsTheWholeFramesThatAreThere) {
    WavShape shape;
    shape.channels = 2;
    shape.frames = 100;
    Bytes bytes = WavBytes::make(shape);
    const std::size_t header = bytes.size() - WavBytes::samples(shape).size();
    bytes.resize(header + 50 * 4 + 3);  // 50 frames and three bytes of the next
    const auto sound = parseWav(bytes);
    ASSERT_TRUE(sound.has_value());
    EXPECT_EQ(sound->frames(), 50u);
    const Bytes all = WavBytes::samples(shape);
    EXPECT_EQ(sound->samples, Bytes(all.begin(), all.begin() + 200));
}

TEST(WavFile, FilesCutBeforeTheirDataAreRejected) {
    const Bytes whole = WavBytes::make(WavShape{});
    for (std::size_t size : {0u, 4u, 11u, 12u, 20u, 30u, 36u, 43u}) {
        const Bytes cut(whole.begin(), whole.begin() + size);
        EXPECT_FALSE(parseWav(cut).has_value()) << "cut at " << size;
    }
    // Cut right after the data chunk's header: a valid sound of no frames.
    const Bytes empty(whole.begin(), whole.begin() + 44);
    ASSERT_TRUE(parseWav(empty).has_value());
    EXPECT_EQ(parseWav(empty)->frames(), 0u);
}

TEST(WavFile, NotRiffWaveIsRejected) {
    const std::string text = "This is a text file, not a sound at all.\n";
    EXPECT_FALSE(parseWav(Bytes(text.begin(), text.end())).has_value());
    Bytes bytes = WavBytes::make(WavShape{});
    bytes[3] = 'X';  // "RIFX": big-endian RIFF
    EXPECT_FALSE(parseWav(bytes).has_value());
    bytes = WavBytes::make(WavShape{});
    bytes[8] = 'A';  // "AAVE"
    EXPECT_FALSE(parseWav(bytes).has_value());
}

TEST(WavFile, FormatsWeCannotPlayAreRejected) {
    WavShape adpcm;
    adpcm.formatTag = 0x11;
    EXPECT_FALSE(parseWav(WavBytes::make(adpcm)).has_value());
    WavShape deep;
    deep.bits = 24;
    EXPECT_FALSE(parseWav(WavBytes::make(deep)).has_value());
    WavShape surround;
    surround.channels = 6;
    EXPECT_FALSE(parseWav(WavBytes::make(surround)).has_value());
    WavShape silentRate;
    silentRate.rate = 0;
    EXPECT_FALSE(parseWav(WavBytes::make(silentRate)).has_value());
}

TEST(WavFile, ReadsFromDisk) {
    TempFolder tmp;
    WavShape shape;
    shape.frames = 2000;
    const Bytes bytes = WavBytes::make(shape);
    kelvaro::testsupport::writeFile(tmp / "autost1.wav", std::string(bytes.begin(), bytes.end()));
    const auto sound = readWavFile(tmp / "autost1.wav");
    ASSERT_TRUE(sound.has_value());
    EXPECT_EQ(sound->samples, WavBytes::samples(shape));
    EXPECT_FALSE(readWavFile(tmp / "missing.wav").has_value());
    EXPECT_FALSE(readWavFile(tmp.path()).has_value());  // a folder
}
