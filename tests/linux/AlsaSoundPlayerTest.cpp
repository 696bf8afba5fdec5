// The ALSA sound player: where it looks for files, what it hands to the audio
// device (ALSA's "null" device, which takes every frame), and silence when
// something is missing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/linux/AlsaSoundPlayer.h"
#include "tests/linux/TempFolder.h"
#include "tests/linux/WavTestFiles.h"

using kelvaro::linuxp::AlsaSoundPlayer;
using kelvaro::testsupport::TempFolder;
using kelvaro::testsupport::WavBytes;
using kelvaro::testsupport::WavShape;
using kelvaro::testsupport::writeFile;

namespace {

void writeWav(const std::string& path, const WavShape& shape) {
    const auto bytes = WavBytes::make(shape);
    writeFile(path, std::string(bytes.begin(), bytes.end()));
}

// Works in a current directory of its own, and puts the old one back.
class SoundPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        old_ = std::filesystem::current_path();
        std::filesystem::create_directories(cwd());
        std::filesystem::create_directories(data());
        std::filesystem::current_path(cwd());
    }
    void TearDown() override { std::filesystem::current_path(old_); }
    std::string cwd() const { return tmp / "cwd"; }
    std::string data() const { return tmp / "data"; }

    TempFolder tmp;

private:
    std::filesystem::path old_;
};

}  // namespace

TEST_F(SoundPlayerTest, LooksInTheCurrentDirectoryFirstThenTheFolders) {
    writeWav(cwd() + "/autost1.wav", WavShape{});
    writeWav(data() + "/autost1.wav", WavShape{});
    writeWav(data() + "/KELVAROREG.WAV", WavShape{});
    AlsaSoundPlayer player({tmp / "nowhere", data()}, "null");
    EXPECT_EQ(player.locate("autost1.wav"), cwd() + "/autost1.wav");
    std::filesystem::remove(cwd() + "/autost1.wav");
    EXPECT_EQ(player.locate("autost1.wav"), data() + "/autost1.wav");
    EXPECT_EQ(player.locate("kelvaroreg.wav"), data() + "/KELVAROREG.WAV");  // names are case-blind
    EXPECT_EQ(player.locate("missing.wav"), std::nullopt);
    EXPECT_EQ(player.locate(""), std::nullopt);
    EXPECT_EQ(player.locate("data/autost1.wav"), std::nullopt);  // a name, not a path
    std::filesystem::create_directories(cwd() + "/folder.wav");
    EXPECT_EQ(player.locate("folder.wav"), std::nullopt);
}

TEST_F(SoundPlayerTest, WaitingPlayHandsEveryFrameToTheDevice) {
    WavShape shape;
    shape.channels = 2;
    shape.rate = 22050;
    shape.frames = 2205;
    writeWav(data() + "/kelvaroreg.wav", shape);
    AlsaSoundPlayer player({data()}, "null");
    player.play("kelvaroreg.wav", true);
    EXPECT_EQ(player.framesPlayed(), 2205);
    WavShape eight;
    eight.bits = 8;
    eight.frames = 801;
    writeWav(cwd() + "/autost1.wav", eight);
    player.play("autost1.wav", true);
    EXPECT_EQ(player.framesPlayed(), 2205 + 801);
}

TEST_F(SoundPlayerTest, PlayWithoutWaitingPlaysInTheBackground) {
    WavShape shape;
    shape.frames = 4000;
    writeWav(data() + "/kelvaroreg.wav", shape);
    AlsaSoundPlayer player({data()}, "null");
    player.play("kelvaroreg.wav", false);
    player.waitUntilIdle();
    EXPECT_EQ(player.framesPlayed(), 4000);
}

TEST_F(SoundPlayerTest, ANewSoundReplacesOnePlayingInTheBackground) {
    WavShape first;
    first.frames = 4000;  // handed over in pieces of 400 frames (50 ms at 8000 Hz)
    writeWav(data() + "/first.wav", first);
    WavShape second;
    second.frames = 3001;
    writeWav(data() + "/second.wav", second);
    AlsaSoundPlayer player({data()}, "null");
    player.play("first.wav", false);
    player.play("second.wav", false);
    player.waitUntilIdle();
    // The second plays whole; of the first, whatever whole pieces went out before it was stopped.
    const long long ofFirst = player.framesPlayed() - 3001;
    EXPECT_GE(ofFirst, 0);
    EXPECT_LE(ofFirst, 4000);
    EXPECT_EQ(ofFirst % 400, 0);
}

TEST_F(SoundPlayerTest, MissingOrInvalidFilesAreSilent) {
    writeFile(data() + "/text.wav", "not a sound\n");
    WavShape shape;
    auto cut = WavBytes::make(shape);
    cut.resize(30);
    writeFile(data() + "/cut.wav", std::string(cut.begin(), cut.end()));
    AlsaSoundPlayer player({data()}, "null");
    testing::internal::CaptureStderr();
    player.play("missing.wav", true);
    player.play("text.wav", true);
    player.play("cut.wav", false);
    player.waitUntilIdle();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(player.framesPlayed(), 0);
}

TEST_F(SoundPlayerTest, NoAudioDeviceIsSilent) {
    writeWav(data() + "/autost1.wav", WavShape{});
    AlsaSoundPlayer player({data()}, "kelvaro_no_such_device");
    testing::internal::CaptureStderr();
    player.play("autost1.wav", true);
    player.play("autost1.wav", false);
    player.waitUntilIdle();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(player.framesPlayed(), 0);
}

namespace {

bool asoundMapped() {
    std::ifstream maps("/proc/self/maps");
    const std::string all((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
    return all.find("libasound.so") != std::string::npos;
}

}  // namespace

// A resident program with its sounds off never carries libasound. Checked in a
// fresh run of this test alone: here other tests may have played already.
TEST_F(SoundPlayerTest, TheAudioLibraryIsLoadedByTheFirstSoundOnly) {
    if (std::getenv("KELVARO_FRESH_PROCESS")) {
        WavShape shape;
        shape.frames = 100;
        writeWav(data() + "/autost1.wav", shape);
        AlsaSoundPlayer player({data()}, "null");
        EXPECT_TRUE(player.locate("autost1.wav"));
        EXPECT_FALSE(asoundMapped());
        player.play("missing.wav", true);
        EXPECT_FALSE(asoundMapped());
        player.play("autost1.wav", true);
        EXPECT_TRUE(asoundMapped());
        EXPECT_EQ(player.framesPlayed(), 100);
        return;
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::setenv("KELVARO_FRESH_PROCESS", "1", 1);
        ::execl("/proc/self/exe", "test_linux", "--gtest_filter=SoundPlayerTest.TheAudioLibraryIsLoadedByTheFirstSoundOnly",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the fresh run failed (its output is above)";
}
