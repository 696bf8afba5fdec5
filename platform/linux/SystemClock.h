#pragma once
#include <ctime>

#include "platform/Clock.h"

namespace kelvaro::linuxp {

// Local date and time from the C library, so that TZ (and faketime) apply.
class SystemClock : public platform::Clock {
public:
    platform::LocalDateTime now() override;
    // The broken-down local time of one instant.
    static platform::LocalDateTime fromTime(std::time_t t);
};

}  // namespace kelvaro::linuxp
