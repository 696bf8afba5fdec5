#include "platform/linux/FontConfigWarmUp.h"

#include <fontconfig/fontconfig.h>

namespace kelvaro::linuxp {

FontConfigWarmUp::FontConfigWarmUp() : thread_([] { FcInit(); }) {}

FontConfigWarmUp::~FontConfigWarmUp() { wait(); }

void FontConfigWarmUp::wait() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace kelvaro::linuxp
