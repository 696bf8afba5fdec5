// A widget's state changed other than by a click (an accessible action, the
// widget's own set call) reaches the model exactly once, as a click does.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleEditableTextInterface>

#include "backup/CommandLine.h"
#include "tests/qt/ViewFixture.h"

namespace kelvaro::test {
namespace {

using AccessibleActionTest = ViewFixture;

// Runs the first action the screen reader is offered for the widget (for a
// check box or an option button, Toggle).
void doDefaultAction(QObject* object) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    ASSERT_NE(iface, nullptr);
    QAccessibleActionInterface* actions = iface->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_FALSE(actions->actionNames().isEmpty());
    actions->doAction(actions->actionNames().first());
    QApplication::processEvents();
}

TEST_F(AccessibleActionTest, ToggleOnABoxOrAnOptionIsStoredOnce) {
    struct Case {
        const char* widget;
        int page;
        std::function<void()>* handler;
        const char* section;
        const char* key;
        const char* stored;
    };
    const Case cases[] = {
        {"Check1", 3, &f().Check1.onClick, "Backup Type", "Append to Tape", "/A "},
        {"Check6", 3, &f().Check6.onClick, "Startup", "Window State", "1"},
        {"Option4", 1, &f().Option4.onClick, "Backup Type", "Type of Backup", "/T Differential"},
        {"Option7", 2, &f().Option7.onClick, "Backup Type", "Log File Name", "  /L \"C:\\KELVARO.LOG\" /E "},
    };
    for (const Case& c : cases) {
        showPage(c.page);
        auto* button = widget<QAbstractButton>(c.widget);
        ASSERT_FALSE(button->isChecked()) << c.widget;
        int calls = 0;
        count(*c.handler, calls);
        const int before = saves();

        doDefaultAction(button);

        EXPECT_TRUE(button->isChecked()) << c.widget;
        EXPECT_EQ(calls, 1) << c.widget;
        EXPECT_EQ(saves(), before + 1) << c.widget;
        EXPECT_EQ(fp.store.value(c.section, c.key), c.stored) << c.widget;
    }
    EXPECT_NE(backup::ComposeCommandLine(ctx.settings).find(" /A "), std::string::npos);
    // The option that was on is off, in the model and on the screen.
    EXPECT_FALSE(f().Option3.value());
    EXPECT_FALSE(widget<QRadioButton>("Option3")->isChecked());
}

TEST_F(AccessibleActionTest, ADayBoxClearedByItsOwnCallIsRefusedWhenItIsTheLastDay) {
    auto days = f().dayBoxes();
    for (int d = 1; d < 7; ++d) days[d]->setChecked(false);
    auto* monday = widget<QCheckBox>("Check7");
    const auto shown = fp.messages.shown.size();

    monday->setChecked(false);

    EXPECT_EQ(fp.messages.shown.size(), shown + 1);
    EXPECT_TRUE(f().Check7.checked());
    EXPECT_TRUE(monday->isChecked());
}

TEST_F(AccessibleActionTest, TapeDriveSetThroughTheDropDownsOwnCallIsStoredOnce) {
    auto* combo = widget<QComboBox>("Combo1");
    int calls = 0;
    count(f().Combo1.onClick, calls);
    const int before = saves();

    combo->setCurrentIndex(9);  // "Tape Drive:0", as an accessible choice sets it
    QApplication::processEvents();

    EXPECT_EQ(calls, 1);
    EXPECT_EQ(f().Combo1.text(), "Tape Drive:0");
    EXPECT_EQ(fp.store.value("Backup Type", "Tape Drive:"), "0");
    EXPECT_EQ(saves(), before + 1);

    // Choosing the current entry again is still a choice, forwarded once.
    emit combo->activated(9);
    EXPECT_EQ(calls, 2);
}

TEST_F(AccessibleActionTest, ToggleOnAnEntryOfTheClosedTapeDriveListChoosesItOnce) {
    showPage(3);
    auto* combo = widget<QComboBox>("Combo1");
    int calls = 0;
    count(f().Combo1.onClick, calls);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(combo->view());
    ASSERT_NE(list, nullptr);
    QAccessibleInterface* entry = list->child(4);
    ASSERT_NE(entry, nullptr);
    ASSERT_EQ(entry->text(QAccessible::Name), "Tape Drive:5");

    entry->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());

    EXPECT_EQ(calls, 1);
    EXPECT_EQ(combo->currentText(), "Tape Drive:5");
    EXPECT_EQ(fp.store.value("Backup Type", "Tape Drive:"), "5");
}

TEST_F(AccessibleActionTest, TextSetThroughTheAccessibleInterfaceReachesTheModelOnce) {
    showPage(2);
    f().Option6.select();
    auto* box = widget<QLineEdit>("lognamebox");
    int changes = 0;
    count(f().lognamebox.onChange, changes);

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(box);
    ASSERT_NE(iface, nullptr);
    iface->setText(QAccessible::Value, QStringLiteral("D:\\NIGHT.LOG"));

    EXPECT_EQ(box->text(), "D:\\NIGHT.LOG");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(ctx.settings.logName, "D:\\NIGHT.LOG");
    EXPECT_EQ(f().lognamebox.text(), "D:\\NIGHT.LOG");
}

TEST_F(AccessibleActionTest, PressOnATabShowsItsPageInTheModel) {
    auto* tabs = widget<QTabBar>("SSTab1_Tabs");
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(tabs);
    ASSERT_NE(bar, nullptr);
    QAccessibleInterface* logTab = bar->child(2);
    ASSERT_NE(logTab, nullptr);
    ASSERT_EQ(logTab->text(QAccessible::Name), "Log File");
    ASSERT_NE(logTab->actionInterface(), nullptr);

    logTab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());

    EXPECT_EQ(f().SSTab1.currentPage(), 2);
    EXPECT_TRUE(widget<QWidget>("SSTab1_Page2")->isVisible());
}

}  // namespace
}  // namespace kelvaro::test
