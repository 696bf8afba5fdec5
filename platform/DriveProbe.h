#pragma once
#include <string>

namespace kelvaro::platform {

inline constexpr int kErrNoDevice = 68;      // device unavailable: no such drive
inline constexpr int kErrFileNotFound = 53;  // file not found

struct DriveInfo {
    int error = 0;            // 0 when the drive exists
    std::string displayText;  // begins with the letter and a colon, e.g. "c: [/home/alice]"
};

// Tells whether a drive letter exists and how it is shown.
class DriveProbe {
public:
    virtual ~DriveProbe() = default;
    virtual DriveInfo probe(char letter) = 0;
};

}  // namespace kelvaro::platform
