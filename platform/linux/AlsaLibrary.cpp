#include "platform/linux/AlsaLibrary.h"

#include <dlfcn.h>

namespace kelvaro::linuxp {
namespace {

// ALSA reports a missing card on stderr by itself; a missing device is to be silent.
void quietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

template <class F>
bool bind(void* lib, const char* name, F& f) {
    f = reinterpret_cast<F>(::dlsym(lib, name));
    return f != nullptr;
}

const AlsaLibrary* load() {
    void* lib = ::dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!lib) return nullptr;
    static AlsaLibrary alsa;
    decltype(&snd_lib_error_set_handler) setErrorHandler = nullptr;
    if (!bind(lib, "snd_pcm_open", alsa.pcm_open) || !bind(lib, "snd_pcm_nonblock", alsa.pcm_nonblock) ||
        !bind(lib, "snd_pcm_set_params", alsa.pcm_set_params) || !bind(lib, "snd_pcm_writei", alsa.pcm_writei) ||
        !bind(lib, "snd_pcm_recover", alsa.pcm_recover) || !bind(lib, "snd_pcm_drop", alsa.pcm_drop) ||
        !bind(lib, "snd_pcm_drain", alsa.pcm_drain) || !bind(lib, "snd_pcm_close", alsa.pcm_close) ||
        !bind(lib, "snd_lib_error_set_handler", setErrorHandler)) {
        ::dlclose(lib);
        return nullptr;
    }
    setErrorHandler(&quietAlsaErrors);
    return &alsa;
}

}  // namespace

const AlsaLibrary* AlsaLibrary::get() {
    static const AlsaLibrary* const loaded = load();
    return loaded;
}

}  // namespace kelvaro::linuxp
