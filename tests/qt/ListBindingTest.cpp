// Lists, the drop-down, menu entries, enabled and visible states, labels and
// the tab control: the user's action reaches the model once, and the model's
// change reaches the widget without a second event.
#include <QProxyStyle>

#include "tests/qt/Input.h"
#include "tests/qt/ViewFixture.h"

namespace kelvaro::test {
namespace {

using ListBindingTest = ViewFixture;

TEST_F(ListBindingTest, DoubleClickOnADriveReachesTheModelOnce) {
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

TEST_F(ListBindingTest, ASingleClickOnADriveOnlyChoosesIt) {
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

TEST_F(ListBindingTest, EnterInADriveListDoesWhatTheDoubleClickDoes) {
    auto* available = widget<QListWidget>("Outline1");
    available->setFocus();
    available->setCurrentRow(0);
    int calls = 0;
    count(f().Outline1.onDoubleClick, calls);

    input::key(available, Qt::Key_Return);

    EXPECT_EQ(calls, 1);
    EXPECT_EQ(f().Outline1.currentIndex(), 0);
}

TEST_F(ListBindingTest, ListChangedByTheModelShowsItsItems) {
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

TEST_F(ListBindingTest, ChoosingATapeDriveReachesTheModelOnce) {
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

TEST_F(ListBindingTest, ArrowKeyInTheTapeDriveListChoosesOnce) {
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

TEST_F(ListBindingTest, TapeTextSetByTheModelShowsWithoutAChoice) {
    auto* combo = widget<QComboBox>("Combo1");
    int calls = 0;
    count(f().Combo1.onClick, calls);
    SignalCount activated(combo, &QComboBox::activated);
    SignalCount changed(combo, &QComboBox::currentIndexChanged);

    f().Combo1.setText("Tape Drive:7");

    EXPECT_EQ(combo->currentText(), "Tape Drive:7");
    EXPECT_EQ(combo->currentIndex(), 6);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(activated.count, 0);
    EXPECT_EQ(changed.count, 0);
}

TEST_F(ListBindingTest, MenuEntryReachesTheModelOnceAndFollowsItsCheckMark) {
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

TEST_F(ListBindingTest, EnabledAndVisibleFollowTheModel) {
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

TEST_F(ListBindingTest, ClockAndSummaryLabelsFollowTheModel) {
    model->scheduleTick();
    EXPECT_EQ(widget<QLabel>("lblTimeNow")->text(), "10:00:00");
    EXPECT_EQ(widget<QLabel>("lblsetback")->text().toStdString(), f().lblsetback.caption());
    EXPECT_EQ(widget<QLabel>("lblsetback2")->text().toStdString(), f().lblsetback2.caption());
    EXPECT_NE(f().lblsetback2.caption().find("Log File"), std::string::npos);
}

TEST_F(ListBindingTest, TabClickChangesThePageInTheModel) {
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
