#include "platform/linux/LinuxPlatformInfo.h"

namespace kelvaro::linuxp {

bool LinuxPlatformInfo::isWindowsNT() { return true; }

}  // namespace kelvaro::linuxp
