#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "schedule/EntryChecks.h"
#include "schedule/SettingsModel.h"
#include "support/AppFixture.h"

using namespace kelvaro;

namespace {

constexpr const char* kDateParse = "Please Enter a Valid Date. MM/DD/YY";
constexpr const char* kDateLength = "You did not enter a valid Date. MM/DD/YY";
constexpr const char* kTime = "You did not enter a valid time. HH:MM ";
constexpr const char* kNoDay = "Please Pick the day(s) of the week to run backup.\nMonday will be checked by default.";
const std::array<const char*, 7> kDays = {"Monday", "Tuesday", "Wednesday", "Thursday",
                                          "Friday", "Saturday", "Sunday"};

struct EntryChecksTest : test::AppFixture {
    int text1Focus = 0;
    int text2Focus = 0;

    EntryChecksTest() {
        fp.clock.set(2025, 3, 14, 9, 30, 0);
        countFocus(main().Text1, text1Focus);
        countFocus(main().text2, text2Focus);
    }

    // The one message shown so far: OK only, no icon, the application title.
    void expectOnlyMessage(const std::string& text) {
        ASSERT_EQ(fp.messages.shown.size(), 1u);
        const auto& m = fp.messages.shown[0];
        EXPECT_EQ(m.text, text);
        EXPECT_EQ(m.buttons, platform::Buttons::Ok);
        EXPECT_EQ(m.icon, platform::Icon::None);
        EXPECT_EQ(m.caption, "Kelvaro Workstation");
    }
    // Daily mode, the day boxes set as given (Monday first), counters cleared.
    void dailyWith(const std::array<bool, 7>& days) {
        fp.messages.shown.clear();
        main().DailyCheck.setChecked(true);
        // All on first, so that every flag went through its box and no step
        // clears the last checked day.
        for (auto* box : main().dayBoxes()) box->setChecked(true);
        for (int d = 0; d < 7; ++d)
            if (!days[d]) main().dayBoxes()[d]->setChecked(false);
        ASSERT_TRUE(fp.messages.shown.empty());
        fp.messages.shown.clear();
        fp.store.commits = 0;
    }
    std::vector<std::string> storedDays() const {
        std::vector<std::string> v;
        for (const char* d : kDays) v.push_back(stored("Time/Date", d));
        return v;
    }
};

// --- Run date ---------------------------------------------------------------

TEST_F(EntryChecksTest, DateOfEightCharactersIsAcceptedAndStoredAsTyped) {
    main().text2.type("21:15");
    enter(main().Text1, "12/31/96");
    EXPECT_TRUE(fp.messages.shown.empty());
    EXPECT_EQ(text1Focus, 0);
    EXPECT_EQ(main().Text1.text(), "12/31/96");
    EXPECT_EQ(settings().runDate, "12/31/96");
    EXPECT_EQ(settings().runTime(), "21:15");  // the time box is taken as well
    EXPECT_EQ(fullSaves(), 1);
    EXPECT_EQ(stored("Time/Date", "Backup Date"), "12/31/96");
    EXPECT_EQ(stored("Time/Date", "Backup Time"), "21:15");
}

TEST_F(EntryChecksTest, ValidButShortDateIsRejectedWithTheLengthMessage) {
    main().text2.type("21:15");
    enter(main().Text1, "12/31/96");
    fp.messages.shown.clear();
    enter(main().Text1, "1/2/96");
    expectOnlyMessage(kDateLength);
    EXPECT_EQ(text1Focus, 1);
    EXPECT_EQ(text2Focus, 0);
    EXPECT_EQ(fullSaves(), 1);  // only the earlier accepted entry
    EXPECT_EQ(stored("Time/Date", "Backup Date"), "12/31/96");
    // The rejected text stays in effect in memory until a valid entry.
    EXPECT_EQ(settings().runDate, "1/2/96");
    EXPECT_EQ(main().Text1.text(), "1/2/96");
}

TEST_F(EntryChecksTest, ImpossibleDateIsRejectedWithTheParseMessageOnly) {
    for (const std::string text : {"13/45/96", "1/45/96", "02/29/97", "abcdefgh", ""}) {
        SCOPED_TRACE(text);
        fp.messages.shown.clear();
        const int focusBefore = text1Focus;
        main().Text1.setText("placeholder");
        enter(main().Text1, text);
        expectOnlyMessage(kDateParse);  // the length test does not run
        EXPECT_EQ(text1Focus, focusBefore + 1);
        EXPECT_EQ(settings().runDate, text);
    }
    EXPECT_EQ(fullSaves(), 0);
    EXPECT_FALSE(fp.store.has("Time/Date", "Backup Date"));
}

TEST_F(EntryChecksTest, LeapDayIsAValidDate) {
    enter(main().Text1, "02/29/96");
    EXPECT_TRUE(fp.messages.shown.empty());
    EXPECT_EQ(stored("Time/Date", "Backup Date"), "02/29/96");
}

TEST_F(EntryChecksTest, DailyModePutsDailyBackSilently) {
    dailyWith({true, true, true, true, true, true, true});
    for (const std::string text : {"hello", "12/31/96", "1/2/96", ""}) {
        SCOPED_TRACE(text);
        const int savesBefore = fullSaves();
        enter(main().Text1, text);
        EXPECT_TRUE(fp.messages.shown.empty());
        EXPECT_EQ(main().Text1.text(), "DAILY");
        EXPECT_EQ(settings().runDate, "DAILY");
        EXPECT_EQ(fullSaves(), savesBefore + 1);
        EXPECT_EQ(stored("Time/Date", "Backup Date"), "DAILY");
    }
    EXPECT_EQ(text1Focus, 0);
}

// --- Run time ---------------------------------------------------------------

TEST_F(EntryChecksTest, TimeOfFourCharactersIsRejected) {
    enter(main().text2, "07:00");
    ASSERT_EQ(fullSaves(), 1);
    enter(main().text2, "7:00");
    expectOnlyMessage(kTime);
    EXPECT_EQ(text2Focus, 1);
    EXPECT_EQ(text1Focus, 0);
    EXPECT_EQ(fullSaves(), 1);
    EXPECT_EQ(stored("Time/Date", "Backup Time"), "07:00");
    EXPECT_EQ(settings().runTime(), "7:00");  // in memory until a valid entry
}

TEST_F(EntryChecksTest, OnlyA24HourTimeWithLeadingZerosIsAccepted) {
    // Accepted texts are stored as typed; the rest is refused exactly like a
    // wrong length, since a time that never equals the clock's "HH:MM" never runs.
    for (const char* ok : {"00:00", "23:59", "09:05", "12:00"}) {
        enter(main().text2, ok);
        EXPECT_TRUE(fp.messages.shown.empty()) << ok;
        EXPECT_EQ(stored("Time/Date", "Backup Time"), ok);
    }
    const int saves = fullSaves();
    for (const char* bad : {"99:99", "24:00", "23:60", "AAAAA", "7:30 ", " 7:30", "07.30", "0730 ", "-1:00",
                            "+1:00", "07:3x", "1\xC3\xA9:00", "", "7:3"}) {
        fp.messages.shown.clear();
        text2Focus = 0;
        enter(main().text2, bad);
        expectOnlyMessage(kTime);
        EXPECT_EQ(text2Focus, 1) << bad;
        EXPECT_EQ(settings().runTime(), bad);  // in memory until a valid entry
    }
    EXPECT_EQ(fullSaves(), saves);
    EXPECT_EQ(stored("Time/Date", "Backup Time"), "12:00");
}

TEST_F(EntryChecksTest, AStoredTimeIsStillReadAsItIs) {
    fp.store.put("Time/Date", "Backup Time", "99:99");
    schedule::ReadAllSettings(settings(), fp.store);
    EXPECT_EQ(settings().runTime(), "99:99");
    EXPECT_TRUE(fp.messages.shown.empty());
}

TEST_F(EntryChecksTest, TimeCommitAlsoTakesTheDateBox) {
    main().Text1.type("07/04/25");  // typed, not yet committed
    enter(main().text2, "06:45");
    EXPECT_EQ(settings().runDate, "07/04/25");
    EXPECT_EQ(stored("Time/Date", "Backup Date"), "07/04/25");
    EXPECT_EQ(stored("Time/Date", "Backup Time"), "06:45");
}

TEST_F(EntryChecksTest, LeavingEitherBoxAfterASnoozeRestoresTheConfiguredTime) {
    enter(main().text2, "10:00");
    settings().snoozeUntil("10:15");
    main().text2.loseFocus();  // box unchanged
    EXPECT_EQ(settings().runTime(), "10:00");
    EXPECT_FALSE(settings().snoozed());

    settings().snoozeUntil("10:30");
    enter(main().Text1, "03/14/25");
    EXPECT_EQ(settings().runTime(), "10:00");
    EXPECT_FALSE(settings().snoozed());

    // Even a rejected date entry ends the snooze: the boxes are taken first.
    settings().snoozeUntil("10:45");
    enter(main().Text1, "nonsense");
    EXPECT_EQ(settings().runTime(), "10:00");
}

// --- Mode switch ------------------------------------------------------------

TEST_F(EntryChecksTest, ClearingDailyGivesTodaysDateAndDisablesTheDayBoxes) {
    dailyWith({true, false, true, false, false, true, false});
    int text1Redraws = 0;
    main().Text1.addObserver([&](form::Change c) { text1Redraws += c == form::Change::Redraw; });
    main().DailyCheck.setChecked(false);
    EXPECT_EQ(settings().dailyFlag, "NO");
    EXPECT_EQ(main().Text1.text(), "03/14/25");
    EXPECT_EQ(text1Redraws, 1);
    EXPECT_EQ(settings().runDate, "03/14/25");
    const std::array<bool, 7> expected = {true, false, true, false, false, true, false};
    for (int d = 0; d < 7; ++d) {
        EXPECT_FALSE(main().dayBoxes()[d]->enabled()) << d;
        EXPECT_EQ(main().dayBoxes()[d]->checked(), expected[d]) << d;
    }
    EXPECT_EQ(fullSaves(), 1);
    EXPECT_EQ(stored("Time/Date", "Backup Date"), "03/14/25");
    EXPECT_EQ(storedDays(), (std::vector<std::string>{"1", "0", "1", "0", "0", "1", "0"}));
    EXPECT_TRUE(fp.messages.shown.empty());
}

TEST_F(EntryChecksTest, CheckingDailyAgainEnablesAndChecksAllSevenDays) {
    dailyWith({true, false, true, false, false, true, false});
    main().DailyCheck.setChecked(false);
    fp.store.commits = 0;
    fp.clock.set(2025, 6, 1, 12, 0, 0);
    main().DailyCheck.setChecked(true);
    EXPECT_EQ(settings().dailyFlag, "YES");
    EXPECT_EQ(main().Text1.text(), "DAILY");
    EXPECT_EQ(settings().runDate, "DAILY");
    for (auto* box : main().dayBoxes()) {
        EXPECT_TRUE(box->enabled()) << box->name();
        EXPECT_TRUE(box->checked()) << box->name();
    }
    for (const auto& f : settings().dayFlags) EXPECT_EQ(f, "1");
    // Four boxes changed (one save each), then the switch's own save.
    EXPECT_EQ(fullSaves(), 5);
    EXPECT_EQ(storedDays(), std::vector<std::string>(7, "1"));
    EXPECT_EQ(stored("Time/Date", "Backup Date"), "DAILY");
    EXPECT_TRUE(fp.messages.shown.empty());
}

TEST_F(EntryChecksTest, CheckingDailyWithEnabledBoxesLeavesThemAlone) {
    main().Check10.setChecked(true);
    fp.store.commits = 0;
    main().DailyCheck.setChecked(true);
    for (int d = 0; d < 7; ++d) EXPECT_EQ(main().dayBoxes()[d]->checked(), d == 3) << d;
    EXPECT_EQ(fullSaves(), 1);
    EXPECT_EQ(settings().runDate, "DAILY");
}

TEST_F(EntryChecksTest, DateModeAfterClearingDailyValidatesDates) {
    dailyWith({true, true, true, true, true, true, true});
    main().DailyCheck.setChecked(false);
    fp.messages.shown.clear();
    enter(main().Text1, "hello");
    expectOnlyMessage(kDateParse);
}

// --- Day boxes --------------------------------------------------------------

TEST_F(EntryChecksTest, DayClickStoresItsFlag) {
    dailyWith({true, true, true, true, true, true, true});
    main().Check11.click();
    EXPECT_EQ(settings().dayFlags[4], "0");
    EXPECT_EQ(fullSaves(), 1);
    EXPECT_EQ(storedDays(), (std::vector<std::string>{"1", "1", "1", "1", "0", "1", "1"}));
    main().Check11.click();
    EXPECT_EQ(stored("Time/Date", "Friday"), "1");
    EXPECT_EQ(fullSaves(), 2);
    EXPECT_TRUE(fp.messages.shown.empty());
}

TEST_F(EntryChecksTest, ClearingTheLastDayChecksMondayAndStoresItOn) {
    for (int last = 0; last < 7; ++last) {
        SCOPED_TRACE(kDays[last]);
        std::array<bool, 7> days{};
        days[last] = true;
        dailyWith(days);
        bool mondayCheckedAtMessage = true;
        int savesAtMessage = -1;
        fp.messages.onShow = [&](const fake::ShownMessage&) {
            mondayCheckedAtMessage = main().Check7.checked();
            savesAtMessage = fullSaves();
        };
        main().dayBoxes()[last]->click();
        fp.messages.onShow = nullptr;
        expectOnlyMessage(kNoDay);
        EXPECT_FALSE(mondayCheckedAtMessage);
        EXPECT_EQ(savesAtMessage, 0);  // no day without Monday was ever stored
        EXPECT_TRUE(main().Check7.checked());
        for (int d = 1; d < 7; ++d) EXPECT_FALSE(main().dayBoxes()[d]->checked()) << d;
        EXPECT_EQ(settings().dayFlags[0], "1");
        // Monday's own commit saves, then the cleared box's commit saves again.
        EXPECT_EQ(fullSaves(), 2);
        EXPECT_EQ(storedDays(), (std::vector<std::string>{"1", "0", "0", "0", "0", "0", "0"}));
    }
}

TEST_F(EntryChecksTest, CheckDaysLeavesACheckedWeekAlone) {
    main().Check13.setChecked(true);
    fp.store.commits = 0;
    schedule::CheckDaysoftheWeek(ctx);
    EXPECT_TRUE(fp.messages.shown.empty());
    EXPECT_FALSE(main().Check7.checked());
    EXPECT_EQ(fullSaves(), 0);
}

}  // namespace
