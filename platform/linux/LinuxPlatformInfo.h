#pragma once
#include "platform/PlatformInfo.h"

namespace kelvaro::linuxp {

// The program refuses to run outside the NT family; on Linux every service it
// asks of that family is provided, so the answer is always yes.
class LinuxPlatformInfo : public platform::PlatformInfo {
public:
    bool isWindowsNT() override;
};

}  // namespace kelvaro::linuxp
