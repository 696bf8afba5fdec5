#pragma once
#include "platform/ProcessStarter.h"

namespace kelvaro::linuxp {

// Turns an errno value into the number and text the program shows: the two
// failures users meet most keep the numbers they had on Windows (53, 70).
platform::SystemError systemErrorFromErrno(int err);

}  // namespace kelvaro::linuxp
