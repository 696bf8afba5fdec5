// Check boxes, option buttons and text boxes: the user's action reaches the
// model once, and a change made by the model reaches the widget without coming
// back as a second event.
#include "tests/qt/Input.h"
#include "tests/qt/ViewFixture.h"

namespace kelvaro::test {
namespace {

using BindingTest = ViewFixture;

TEST_F(BindingTest, CheckBoxClickReachesTheModelOnce) {
    showPage(3);
    auto* box = widget<QCheckBox>("Check1");
    ASSERT_FALSE(f().Check1.checked());
    int calls = 0;
    count(f().Check1.onClick, calls);
    const int before = saves();

    input::click(box);

    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(f().Check1.checked());
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(ctx.settings.appendSwitch, "/A ");
    EXPECT_EQ(saves(), before + 1);
}

TEST_F(BindingTest, CheckBoxSpaceKeyReachesTheModelOnce) {
    showPage(3);
    auto* box = widget<QCheckBox>("Check2");
    box->setFocus();
    int calls = 0;
    count(f().Check2.onClick, calls);

    input::key(box, Qt::Key_Space);

    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(f().Check2.checked());
    EXPECT_TRUE(box->isChecked());
}

TEST_F(BindingTest, CheckBoxSetByTheModelShowsWithoutASecondEvent) {
    showPage(3);
    auto* box = widget<QCheckBox>("Check3");
    int calls = 0;
    count(f().Check3.onClick, calls);
    SignalCount clicked(box, &QCheckBox::clicked);
    SignalCount toggled(box, &QCheckBox::toggled);
    const int before = saves();

    f().Check3.setChecked(true);

    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(calls, 1);  // the model's own handler, not a second one from the widget
    EXPECT_EQ(saves(), before + 1);
    EXPECT_EQ(clicked.count, 0);
    EXPECT_EQ(toggled.count, 0);
}

TEST_F(BindingTest, DayBoxFollowsTheModelWhenTheModelRefusesToClearTheLastDay) {
    // Clearing the last checked day is answered by checking Monday again.
    auto days = f().dayBoxes();
    for (int d = 1; d < 7; ++d) days[d]->setChecked(false);
    ASSERT_TRUE(f().Check7.checked());
    auto* monday = widget<QCheckBox>("Check7");
    const auto shown = fp.messages.shown.size();

    input::click(monday);

    EXPECT_EQ(fp.messages.shown.size(), shown + 1);
    EXPECT_TRUE(f().Check7.checked());
    EXPECT_TRUE(monday->isChecked());
}

TEST_F(BindingTest, OptionClickSelectsInTheModelOnce) {
    showPage(1);
    auto* copy = widget<QRadioButton>("Option2");
    auto* incremental = widget<QRadioButton>("Option3");
    ASSERT_TRUE(incremental->isChecked());
    int calls = 0;
    count(f().Option2.onClick, calls);
    const int before = saves();

    input::click(copy);

    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(f().Option2.value());
    EXPECT_FALSE(f().Option3.value());
    EXPECT_EQ(ctx.settings.backupType, "/T Copy");
    EXPECT_TRUE(copy->isChecked());
    EXPECT_FALSE(incremental->isChecked());
    EXPECT_EQ(saves(), before + 1);

    // A click on the selected button changes nothing.
    input::click(copy);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(saves(), before + 1);
    EXPECT_TRUE(copy->isChecked());
}

TEST_F(BindingTest, OptionSelectedByTheModelShowsWithoutASecondEvent) {
    showPage(2);
    auto* full = widget<QRadioButton>("Option6");
    auto* none = widget<QRadioButton>("Option8");
    ASSERT_TRUE(none->isChecked());
    int calls = 0;
    count(f().Option6.onClick, calls);
    SignalCount clicked(full, &QRadioButton::clicked);

    f().Option6.select();

    EXPECT_EQ(calls, 1);
    EXPECT_EQ(clicked.count, 0);
    EXPECT_TRUE(full->isChecked());
    EXPECT_FALSE(none->isChecked());
}

TEST_F(BindingTest, TypedTextReachesTheModelOnceAKeyAndLeavingCommitsOnce) {
    showPage(2);
    f().Option6.select();  // with "No Log File" the model puts its own name back
    auto* box = widget<QLineEdit>("lognamebox");
    box->setFocus();
    box->selectAll();
    int changes = 0, losses = 0;
    count(f().lognamebox.onChange, changes);
    count(f().lognamebox.onLostFocus, losses);
    const int before = saves();

    input::type(box, "D:\\B.LOG");

    EXPECT_EQ(f().lognamebox.text(), "D:\\B.LOG");
    EXPECT_EQ(changes, 8);  // one change a key, as the model counts them
    EXPECT_EQ(losses, 0);
    EXPECT_EQ(saves(), before);

    widget<QRadioButton>("Option8")->setFocus(Qt::TabFocusReason);

    EXPECT_EQ(losses, 1);
    EXPECT_EQ(saves(), before + 1);
    EXPECT_EQ(ctx.settings.logName, "D:\\B.LOG");
}

TEST_F(BindingTest, TextSetByTheModelShowsWithoutASecondEvent) {
    auto* box = widget<QLineEdit>("lognamebox");
    int changes = 0;
    count(f().lognamebox.onChange, changes);
    SignalCount edited(box, &QLineEdit::textEdited);

    f().lognamebox.setText("E:\\X.LOG");

    EXPECT_EQ(box->text(), "E:\\X.LOG");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(edited.count, 0);
}

TEST_F(BindingTest, AnotherWindowTakingTheFocusIsNoLossOfFocus) {
    auto* box = widget<QLineEdit>("text2");
    box->setFocus();
    int losses = 0;
    count(f().text2.onLostFocus, losses);

    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(box, &out);
    EXPECT_EQ(losses, 0);

    QFocusEvent moved(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(box, &moved);
    EXPECT_EQ(losses, 1);
}

TEST_F(BindingTest, RejectedRunTimePutsTheFocusBackAndStoresNothing) {
    auto* time = widget<QLineEdit>("text2");
    time->setFocus(Qt::TabFocusReason);
    time->selectAll();
    input::type(time, "7:00");
    const int before = saves();

    input::key(time, Qt::Key_Tab);
    QApplication::processEvents();

    ASSERT_FALSE(fp.messages.shown.empty());
    EXPECT_EQ(fp.messages.shown.back().text, "You did not enter a valid time. HH:MM ");
    EXPECT_EQ(saves(), before);
    EXPECT_EQ(QApplication::focusWidget(), time);
}

TEST_F(BindingTest, RefusedRunDateBringsItsPageBackWhenAnotherTabIsClicked) {
    f().DailyCheck.setChecked(false);  // date mode: the date is checked
    auto* date = widget<QLineEdit>("Text1");
    date->setFocus(Qt::TabFocusReason);
    date->selectAll();
    input::type(date, "13/45/99");
    int losses = 0;
    count(f().Text1.onLostFocus, losses);
    const int before = saves();

    auto* tabs = widget<QTabBar>("SSTab1_Tabs");
    input::click(tabs, tabs->tabRect(3).center());
    QApplication::processEvents();

    EXPECT_EQ(losses, 1);
    ASSERT_FALSE(fp.messages.shown.empty());
    EXPECT_EQ(fp.messages.shown.back().text, "Please Enter a Valid Date. MM/DD/YY");
    EXPECT_EQ(saves(), before);
    EXPECT_EQ(f().SSTab1.currentPage(), 0);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_TRUE(widget<QWidget>("SSTab1_Page0")->isVisible());
    EXPECT_FALSE(widget<QWidget>("SSTab1_Page3")->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), date);
}

TEST_F(BindingTest, TextBoxesLimitTypingToTheirLengths) {
    struct Case {
        const char* name;
        int page;
        int limit;
    };
    for (const Case& c : {Case{"Text1", 0, 8}, Case{"text2", 0, 5}, Case{"lognamebox", 2, 250}}) {
        showPage(c.page);
        auto* box = widget<QLineEdit>(c.name);
        EXPECT_EQ(box->maxLength(), c.limit) << c.name;
        box->setFocus();
        box->selectAll();
        const QString typed(c.limit + 7, QLatin1Char('1'));
        input::type(box, typed);
        EXPECT_EQ(box->text().size(), c.limit) << c.name;
        auto* control = c.page == 2 ? &f().lognamebox : (c.limit == 8 ? &f().Text1 : &f().text2);
        EXPECT_EQ(control->text(), std::string(static_cast<std::size_t>(c.limit), '1')) << c.name;
    }
}

TEST_F(BindingTest, ALongerTextFromTheModelIsShownWhole) {
    // The limit is for typing; the program itself may put a longer text in.
    auto* box = widget<QLineEdit>("Text1");
    f().Text1.setText("12/31/1999");
    EXPECT_EQ(box->text(), "12/31/1999");
    f().Text1.setText("01/02/24");
    EXPECT_EQ(box->maxLength(), 8);
}

TEST_F(BindingTest, FocusRequestOnAHiddenPageShowsThatPage) {
    showPage(3);
    auto* box = widget<QLineEdit>("Text1");
    f().Text1.setFocus();
    QApplication::processEvents();
    EXPECT_EQ(f().SSTab1.currentPage(), 0);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), box);
}

}  // namespace
}  // namespace kelvaro::test
