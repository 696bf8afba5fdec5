// Each kind of control: the user's action reaches the model once, and a change
// made by the model reaches the widget without coming back as a second event.
#include <QProxyStyle>

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

TEST_F(BindingTest, DoubleClickOnADriveReachesTheModelOnce) {
    auto* available = widget<QListWidget>("Outline1");
    auto* selected = widget<QListWidget>("Outline2");
    ASSERT_EQ(available->count(), 2);
    const int chosenBefore = selected->count();
    int calls = 0;
    count(f().Outline1.onDoubleClick, calls);
    const int before = saves();

    QListWidgetItem* item = available->item(1);
    input::doubleClick(available->viewport(), available->visualItemRect(item).center());

    EXPECT_EQ(calls, 1);
    EXPECT_EQ(f().Outline1.currentIndex(), 1);
    EXPECT_EQ(selected->count(), chosenBefore + 1);
    EXPECT_EQ(static_cast<int>(f().Outline2.items().size()), selected->count());
    EXPECT_EQ(selected->item(selected->count() - 1)->text(), "d: [/mnt/data]");

    // As many saves as one double click made in the model itself.
    const int byView = saves() - before;
    const int mark = saves();
    f().Outline1.doubleClick(0);
    EXPECT_GT(byView, 0);
    EXPECT_EQ(byView, saves() - mark);
}

// A desktop whose lists open an entry with a single click.
class SingleClickStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == QStyle::SH_ItemView_ActivateItemOnSingleClick) return 1;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

TEST_F(BindingTest, ASingleClickOnADriveOnlyChoosesIt) {
    auto* available = widget<QListWidget>("Outline1");
    SingleClickStyle style;
    available->setStyle(&style);
    int calls = 0;
    count(f().Outline1.onDoubleClick, calls);

    input::click(available->viewport(), available->visualItemRect(available->item(1)).center());

    EXPECT_EQ(calls, 0);
    EXPECT_EQ(f().Outline1.currentIndex(), 1);
    available->setStyle(nullptr);
}

TEST_F(BindingTest, EnterInADriveListDoesWhatTheDoubleClickDoes) {
    auto* available = widget<QListWidget>("Outline1");
    available->setFocus();
    available->setCurrentRow(0);
    int calls = 0;
    count(f().Outline1.onDoubleClick, calls);

    input::key(available, Qt::Key_Return);

    EXPECT_EQ(calls, 1);
    EXPECT_EQ(f().Outline1.currentIndex(), 0);
}

TEST_F(BindingTest, ListChangedByTheModelShowsItsItems) {
    auto* selected = widget<QListWidget>("Outline2");
    int calls = 0;
    count(f().Outline2.onDoubleClick, calls);
    SignalCount doubleClicked(selected, &QListWidget::itemDoubleClicked);

    f().Outline2.clear();
    f().Outline2.addItem("Q:");
    f().Outline2.setCurrentIndex(0);

    ASSERT_EQ(selected->count(), 1);
    EXPECT_EQ(selected->item(0)->text(), "Q:");
    EXPECT_EQ(selected->currentRow(), 0);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(doubleClicked.count, 0);
}

TEST_F(BindingTest, ChoosingATapeDriveReachesTheModelOnce) {
    showPage(3);
    auto* combo = widget<QComboBox>("Combo1");
    ASSERT_EQ(combo->count(), 10);
    EXPECT_TRUE(combo->isEditable());
    EXPECT_EQ(combo->currentText(), "Tape Drive:1");
    int calls = 0;
    count(f().Combo1.onClick, calls);
    const int before = saves();

    // The last entry through the drop-down list, as the mouse chooses it.
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    const QModelIndex last = list->model()->index(9, 0);
    input::click(list->viewport(), list->visualRect(last).center());
    QApplication::processEvents();

    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ctx.settings.tapeNumber, "0");
    EXPECT_EQ(f().Combo1.text(), "Tape Drive:0");
    EXPECT_EQ(combo->currentText(), "Tape Drive:0");
    EXPECT_EQ(saves(), before + 1);
}

TEST_F(BindingTest, ArrowKeyInTheTapeDriveListChoosesOnce) {
    showPage(3);
    auto* combo = widget<QComboBox>("Combo1");
    combo->setFocus();
    int calls = 0;
    count(f().Combo1.onClick, calls);

    input::key(combo, Qt::Key_Down);

    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ctx.settings.tapeNumber, "2");
    EXPECT_EQ(combo->currentText(), "Tape Drive:2");
}

TEST_F(BindingTest, TapeTextSetByTheModelShowsWithoutAChoice) {
    auto* combo = widget<QComboBox>("Combo1");
    int calls = 0;
    count(f().Combo1.onClick, calls);
    SignalCount activated(combo, &QComboBox::activated);

    f().Combo1.setText("Tape Drive:7");

    EXPECT_EQ(combo->currentText(), "Tape Drive:7");
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(activated.count, 0);
}

TEST_F(BindingTest, MenuEntryReachesTheModelOnceAndFollowsItsCheckMark) {
    QAction* sound = action("mnusound");
    ASSERT_TRUE(sound->isCheckable());
    ASSERT_TRUE(sound->isChecked());
    ASSERT_EQ(ctx.settings.soundFlag, "Yes");
    int calls = 0;
    count(f().mnusound.onClick, calls);

    sound->trigger();

    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ctx.settings.soundFlag, "No");
    EXPECT_FALSE(f().mnusound.checked());
    EXPECT_FALSE(sound->isChecked());

    SignalCount triggered(sound, &QAction::triggered);
    f().mnusound.setChecked(true);
    EXPECT_TRUE(sound->isChecked());
    EXPECT_EQ(triggered.count, 0);
    EXPECT_EQ(calls, 1);
}

TEST_F(BindingTest, EnabledAndVisibleFollowTheModel) {
    auto* friday = widget<QCheckBox>("Check11");
    f().Check11.setEnabled(false);
    EXPECT_FALSE(friday->isEnabled());
    f().Check11.setEnabled(true);
    EXPECT_TRUE(friday->isEnabled());

    auto* marker = widget<QWidget>("Shape1");
    auto* snoozed = widget<QLabel>("lblSnozzeTime");
    EXPECT_FALSE(marker->isVisible());
    EXPECT_FALSE(snoozed->isVisible());
    f().Shape1.setVisible(true);
    f().lblSnozzeTime.setVisible(true);
    f().lblSnozzeTime.setCaption("10:15");
    EXPECT_TRUE(marker->isVisible());
    EXPECT_TRUE(snoozed->isVisible());
    EXPECT_EQ(snoozed->text(), "10:15");
}

TEST_F(BindingTest, ClockAndSummaryLabelsFollowTheModel) {
    model->scheduleTick();
    EXPECT_EQ(widget<QLabel>("lblTimeNow")->text(), "10:00:00");
    EXPECT_EQ(widget<QLabel>("lblsetback")->text().toStdString(), f().lblsetback.caption());
    EXPECT_EQ(widget<QLabel>("lblsetback2")->text().toStdString(), f().lblsetback2.caption());
    EXPECT_NE(f().lblsetback2.caption().find("Log File"), std::string::npos);
}

TEST_F(BindingTest, TabClickChangesThePageInTheModel) {
    auto* tabs = widget<QTabBar>("SSTab1_Tabs");
    auto* pageOther = widget<QWidget>("SSTab1_Page3");
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_TRUE(widget<QWidget>("SSTab1_Page0")->isVisible());
    EXPECT_FALSE(pageOther->isVisible());

    input::click(tabs, tabs->tabRect(3).center());

    EXPECT_EQ(f().SSTab1.currentPage(), 3);
    EXPECT_TRUE(pageOther->isVisible());
    EXPECT_FALSE(widget<QWidget>("SSTab1_Page0")->isVisible());

    f().SSTab1.setCurrentPage(1);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_TRUE(widget<QWidget>("SSTab1_Page1")->isVisible());
}

}  // namespace
}  // namespace kelvaro::test
