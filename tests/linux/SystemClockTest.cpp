// Local time from the system clock, in the time zone of the environment.
#include <gtest/gtest.h>

#include <QDateTime>
#include <ctime>

#include "platform/linux/SystemClock.h"
#include "tests/linux/TempFolder.h"

using kelvaro::linuxp::SystemClock;
using kelvaro::testsupport::ScopedEnv;

namespace {

// Sets TZ for the scope and makes the C library take it up, and back.
class ScopedZone {
public:
    explicit ScopedZone(const char* tz) : env_("TZ", std::string(tz)) { ::tzset(); }

private:
    struct Retzset {
        ~Retzset() { ::tzset(); }
    } retzset_;      // destroyed last, once env_ has put TZ back
    ScopedEnv env_;
};

void expectTime(const kelvaro::platform::LocalDateTime& d, int y, int mo, int da, int h, int mi, int s, int wd) {
    EXPECT_EQ(d.year, y);
    EXPECT_EQ(d.month, mo);
    EXPECT_EQ(d.day, da);
    EXPECT_EQ(d.hour, h);
    EXPECT_EQ(d.minute, mi);
    EXPECT_EQ(d.second, s);
    EXPECT_EQ(d.weekday, wd);
}

constexpr std::time_t kSunday20240310_123456Utc = 1710074096;

}  // namespace

TEST(SystemClock, BreaksDownInstantsInUtc) {
    ScopedZone utc("UTC0");
    expectTime(SystemClock::fromTime(0), 1970, 1, 1, 0, 0, 0, 4);                  // Thursday
    expectTime(SystemClock::fromTime(951782400), 2000, 2, 29, 0, 0, 0, 2);         // Tuesday
    expectTime(SystemClock::fromTime(kSunday20240310_123456Utc), 2024, 3, 10, 12, 34, 56, 7);  // Sunday is 7
    expectTime(SystemClock::fromTime(kSunday20240310_123456Utc + 86400), 2024, 3, 11, 12, 34, 56, 1);
}

TEST(SystemClock, UsesTheLocalTimeZone) {
    {
        ScopedZone india("IST-5:30");
        expectTime(SystemClock::fromTime(kSunday20240310_123456Utc), 2024, 3, 10, 18, 4, 56, 7);
    }
    {
        ScopedZone farEast("XST-13");  // the next day already: Monday
        expectTime(SystemClock::fromTime(kSunday20240310_123456Utc), 2024, 3, 11, 1, 34, 56, 1);
    }
    {
        ScopedZone west("XST+10");
        expectTime(SystemClock::fromTime(kSunday20240310_123456Utc), 2024, 3, 10, 2, 34, 56, 7);
    }
}

TEST(SystemClock, NowIsTheCurrentLocalTime) {
    ScopedZone zone("XST-3");
    SystemClock clock;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(3 * 3600);
        const auto d = clock.now();
        const QDateTime after = QDateTime::currentDateTimeUtc().addSecs(3 * 3600);
        if (before.time().second() != after.time().second()) continue;  // crossed a second: again
        EXPECT_EQ(d.year, after.date().year());
        EXPECT_EQ(d.month, after.date().month());
        EXPECT_EQ(d.day, after.date().day());
        EXPECT_EQ(d.hour, after.time().hour());
        EXPECT_EQ(d.minute, after.time().minute());
        EXPECT_EQ(d.second, after.time().second());
        EXPECT_EQ(d.weekday, after.date().dayOfWeek());  // Qt counts 1 = Monday .. 7 = Sunday too
        return;
    }
    FAIL() << "the second kept changing";
}
