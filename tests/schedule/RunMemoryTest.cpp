// The text the schedule keeps across runs: exactly what is written, and which
// texts count as damaged.
#include <gtest/gtest.h>

#include <string>

#include "schedule/RunMemory.h"
#include "schedule/TimeText.h"

using namespace kelvaro;

namespace {

long long minuteAt(int year, int month, int day, int hour, int minute) {
    platform::LocalDateTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    return schedule::minuteNumber(t);
}

}  // namespace

TEST(RunMemoryTest, WritesTheLastMinuteSeenAndTheRunsThatCameUpAndReadsThemBack) {
    schedule::RememberedSchedule r{minuteAt(2026, 12, 9, 19, 31), "12/09/26", {"19:30", "19:00"}};
    const std::string text = schedule::formatRemembered(r);
    EXPECT_EQ(text,
              "# Kelvaro Workstation: the schedule as the program last saw it.\n"
              "LastSeen=2026-12-09 19:31\n"
              "CameUp=12/09/26 19:00 19:30\n");
    const auto back = schedule::parseRemembered(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->lastSeen, r.lastSeen);
    EXPECT_EQ(back->cameUpDay, "12/09/26");
    EXPECT_EQ(back->cameUpMinutes, r.cameUpMinutes);

    const auto none = schedule::parseRemembered(schedule::formatRemembered({minuteAt(2024, 2, 29, 0, 0), "", {}}));
    ASSERT_TRUE(none);
    EXPECT_EQ(none->lastSeen, minuteAt(2024, 2, 29, 0, 0));
    EXPECT_TRUE(none->cameUpDay.empty());
}

TEST(RunMemoryTest, AnyTextNotWrittenWholeByTheScheduleIsDamaged) {
    const char* const damaged[] = {
        "",
        "LastSeen=2026-12-09 19:31\n",                      // cut short before its second line
        "LastSeen=2026-12-09 19:31\nCameUp=",               // cut short inside it
        "LastSeen=2026-12-09 19:3\nCameUp=\n",
        "LastSeen=2026-02-30 19:31\nCameUp=\n",             // no such day
        "LastSeen=2026-12-09 24:00\nCameUp=\n",
        "LastSeen=2026-12-09 19:31\nCameUp=12/09/26\n",     // a day without its minutes
        "LastSeen=2026-12-09 19:31\nCameUp=13/09/26 19:00\n",
        "LastSeen=2026-12-09 19:31\nCameUp=12/09/26 7:00\n",
        "LastSeen=2026-12-09 19:31\nLastSeen=2026-12-09 19:31\nCameUp=\n",
        "LastSeen=2026-12-09 19:31\nCameUp=\nSnooze=19:45\n",
        "\x7f" "ELF\x02\x01\x01",
    };
    for (const char* text : damaged) EXPECT_FALSE(schedule::parseRemembered(text)) << "[" << text << "]";
}
