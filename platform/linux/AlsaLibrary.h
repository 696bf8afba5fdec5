#pragma once
#include <alsa/asoundlib.h>

namespace kelvaro::linuxp {

// The few ALSA calls the sound player makes, from libasound loaded on the first
// sound. A program that plays none (the start sound switched off) carries
// neither the library nor its set-up for the whole day.
struct AlsaLibrary {
    decltype(&snd_pcm_open) pcm_open;
    decltype(&snd_pcm_nonblock) pcm_nonblock;
    decltype(&snd_pcm_set_params) pcm_set_params;
    decltype(&snd_pcm_writei) pcm_writei;
    decltype(&snd_pcm_recover) pcm_recover;
    decltype(&snd_pcm_drop) pcm_drop;
    decltype(&snd_pcm_drain) pcm_drain;
    decltype(&snd_pcm_close) pcm_close;

    // Loads the library once (thread-safe); null when it is not installed.
    static const AlsaLibrary* get();
};

}  // namespace kelvaro::linuxp
