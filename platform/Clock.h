#pragma once

namespace kelvaro::platform {

struct LocalDateTime {
    int year = 2000;
    int month = 1;    // 1..12
    int day = 1;      // 1..31
    int hour = 0;     // 0..23
    int minute = 0;
    int second = 0;
    int weekday = 6;  // 1 = Monday .. 7 = Sunday
};

// Current local date and time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() = 0;
};

}  // namespace kelvaro::platform
