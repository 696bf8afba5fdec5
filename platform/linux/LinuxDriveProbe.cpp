#include "platform/linux/LinuxDriveProbe.h"

namespace kelvaro::linuxp {

platform::DriveInfo LinuxDriveProbe::probe(char letter) {
    const auto dir = drives_.target(letter);
    if (!dir) return {platform::kErrNoDevice, ""};
    const char lower = (letter >= 'A' && letter <= 'Z') ? static_cast<char>(letter - 'A' + 'a') : letter;
    return {0, std::string{lower, ':', ' ', '['} + *dir + "]"};
}

}  // namespace kelvaro::linuxp
