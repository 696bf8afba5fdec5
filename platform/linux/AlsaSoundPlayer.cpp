#include "platform/linux/AlsaSoundPlayer.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/linux/AlsaLibrary.h"
#include "platform/linux/WavFile.h"

namespace kelvaro::linuxp {
namespace {

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::string> findIn(const std::string& folder, const std::string& name) {
    const std::string exact = folder + "/" + name;
    if (isRegularFile(exact)) return exact;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return std::nullopt;
    std::optional<std::string> found;
    while (const dirent* e = ::readdir(dir)) {
        if (::strcasecmp(e->d_name, name.c_str()) == 0 && isRegularFile(folder + "/" + e->d_name)) {
            found = folder + "/" + e->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

std::string currentDirectory() {
    std::vector<char> buf(4096);
    while (!::getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE) return ".";
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}

// Plays the sound to its end or until asked to stop. Frames written are added
// to `played`; nothing happens when the device cannot be opened or set up.
void playPcm(const WavSound& sound, const std::string& device, const std::atomic<bool>& stop,
             std::atomic<long long>& played) {
    const AlsaLibrary* alsa = AlsaLibrary::get();
    if (!alsa) return;
    snd_pcm_t* pcm = nullptr;
    // Non-blocking open: a device held by another program must not hang the caller.
    if (alsa->pcm_open(&pcm, device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return;
    const snd_pcm_format_t format = sound.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
    if (alsa->pcm_nonblock(pcm, 0) < 0 ||
        alsa->pcm_set_params(pcm, format, SND_PCM_ACCESS_RW_INTERLEAVED, static_cast<unsigned>(sound.channels),
                           static_cast<unsigned>(sound.sampleRate), 1, 200000) < 0) {
        alsa->pcm_close(pcm);
        return;
    }
    const std::size_t frameBytes = static_cast<std::size_t>(sound.frameBytes());
    const std::size_t total = sound.frames();
    // Pieces of about 50 ms, so that a stop request is noticed quickly.
    const std::size_t piece = std::max<std::size_t>(1, static_cast<std::size_t>(sound.sampleRate) / 20);
    std::size_t done = 0;
    while (done < total && !stop) {
        const std::size_t n = std::min(piece, total - done);
        const snd_pcm_sframes_t w = alsa->pcm_writei(pcm, sound.samples.data() + done * frameBytes, n);
        if (w < 0) {
            if (alsa->pcm_recover(pcm, static_cast<int>(w), 1) < 0) break;
            continue;
        }
        done += static_cast<std::size_t>(w);
        played += w;
    }
    if (stop)
        alsa->pcm_drop(pcm);
    else
        alsa->pcm_drain(pcm);
    alsa->pcm_close(pcm);
}

}  // namespace

AlsaSoundPlayer::AlsaSoundPlayer(std::vector<std::string> folders, std::string device)
    : folders_(std::move(folders)),
      device_(std::move(device)),
      stopWorker_(std::make_shared<std::atomic<bool>>(false)),
      framesPlayed_(std::make_shared<std::atomic<long long>>(0)) {}

AlsaSoundPlayer::~AlsaSoundPlayer() { stopBackground(); }

std::optional<std::string> AlsaSoundPlayer::locate(const std::string& fileName) const {
    if (fileName.empty() || fileName.find('/') != std::string::npos) return std::nullopt;
    if (auto f = findIn(currentDirectory(), fileName)) return f;
    for (const std::string& folder : folders_)
        if (auto f = findIn(folder, fileName)) return f;
    return std::nullopt;
}

void AlsaSoundPlayer::stopBackground() {
    if (!worker_.joinable()) return;
    *stopWorker_ = true;
    worker_.join();
}

void AlsaSoundPlayer::waitUntilIdle() {
    if (worker_.joinable()) worker_.join();
}

void AlsaSoundPlayer::play(const std::string& fileName, bool wait) {
    stopBackground();
    const std::optional<std::string> path = locate(fileName);
    if (!path) return;
    std::optional<WavSound> sound = readWavFile(*path);
    if (!sound || sound->frames() == 0) return;

    if (wait) {
        const std::atomic<bool> never{false};
        playPcm(*sound, device_, never, *framesPlayed_);
        return;
    }
    stopWorker_ = std::make_shared<std::atomic<bool>>(false);
    worker_ = std::thread([s = std::move(*sound), device = device_, stop = stopWorker_,
                           played = framesPlayed_] { playPcm(s, device, *stop, *played); });
}

}  // namespace kelvaro::linuxp
