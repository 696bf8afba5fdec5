#pragma once
#include "platform/DriveProbe.h"
#include "platform/linux/DriveMap.h"

namespace kelvaro::linuxp {

// A drive exists when its link in the drive map leads to a directory; it is shown
// as "c: [/home/alice]" with the resolved directory, the same one paths map through.
class LinuxDriveProbe : public platform::DriveProbe {
public:
    explicit LinuxDriveProbe(const DriveMap& drives) : drives_(drives) {}
    platform::DriveInfo probe(char letter) override;

private:
    const DriveMap& drives_;
};

}  // namespace kelvaro::linuxp
