// The main window's controls: names, accessible names, places in pixels,
// whole texts, menus, toolbar and status bar.
#include <QAbstractButton>
#include <QGroupBox>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "tests/qt/Input.h"
#include "tests/qt/ViewFixture.h"
#include "ui/qt/TabControlWidget.h"
#include "ui/qt/ViewStyle.h"

namespace kelvaro::test {
namespace {

using MainWindowLayoutTest = ViewFixture;

// Every control of the form that is a widget on the desktop.
const char* const kControls[] = {
    "Label116", "lblTimeNow", "Label25",  "Outline1",   "Label26",  "Outline2",  "Shape1",   "lblSnozzeTime",
    "StatusBar1", "Toolbar1", "SSTab1",   "Label112",   "Text1",    "DailyCheck", "Label113", "text2",
    "Check7",   "Check8",     "Check9",   "Check10",    "Check11",  "Check12",   "Check13",  "Label114",
    "Label115", "SSPanel1",   "lblsetback", "lblsetback2", "Option1", "Option2",  "Option3",  "Option4",
    "Option5",  "Frame1",     "Option6",  "Option7",    "Option8",  "Label117",  "lognamebox", "Check1",
    "Check2",   "Check3",     "Check4",   "Check5",     "Label11",  "Combo1",    "Check6",
};

TEST_F(MainWindowLayoutTest, EveryControlHasItsNameAndAnAccessibleName) {
    EXPECT_EQ(view->objectName(), "frmMain");
    for (const char* name : kControls) {
        auto* w = view->findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(w, nullptr) << name;
        // A value display may be empty (the snoozed time before a snooze); its
        // description still says what it is.
        EXPECT_FALSE(w->accessibleName().isEmpty() && w->accessibleDescription().isEmpty()) << name;
    }
}

TEST_F(MainWindowLayoutTest, BoxesAndListsAreNamedByTheirLabels) {
    const std::pair<const char*, const char*> named[] = {
        {"Text1", "Run Date:"},
        {"text2", "Run Time:"},
        {"lognamebox", "Log File Name:"},
        {"Outline1", "Available Drives:"},
        {"Outline2", "Selected Drives for Backup:"},
        {"Combo1", "Run Backup on Tape Drive Number:"},
    };
    for (const auto& [name, label] : named) EXPECT_EQ(widget<QWidget>(name)->accessibleName(), label) << name;
    EXPECT_EQ(widget<QWidget>("Check1")->accessibleName(), "Append Tape");
    EXPECT_EQ(widget<QWidget>("Option4")->accessibleName(), "Differential");
}

TEST_F(MainWindowLayoutTest, FixedTextsAreTheFormsTexts) {
    const std::pair<const char*, const char*> texts[] = {
        {"Label116", "Current Time"}, {"Label25", "Available Drives:"}, {"Label26", "Selected Drives for Backup:"},
        {"Label112", "Run Date:"},    {"Label113", "Run Time:"},        {"Label114", "Please use"},
        {"Label115", "24 hour Time."}, {"Label117", "Log File Name:"},  {"Label11", "Run Backup on Tape Drive Number:"},
    };
    for (const auto& [name, text] : texts) EXPECT_EQ(widget<QLabel>(name)->text(), text) << name;
    const char* const days[] = {"M", "T", "W", "T", "F", "S", "S"};
    for (int d = 0; d < 7; ++d)
        EXPECT_EQ(widget<QCheckBox>(qPrintable(QStringLiteral("Check%1").arg(7 + d)))->text(), days[d]);
    const char* const types[] = {"Normal", "Copy", "Incremental", "Differential", "Daily"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(widget<QRadioButton>(qPrintable(QStringLiteral("Option%1").arg(1 + i)))->text(), types[i]);
    EXPECT_EQ(widget<QCheckBox>("Check6")->text(), "Minimized at startup");
    auto* tabs = widget<QTabBar>("SSTab1_Tabs");
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabText(0), "Current Settings");
    EXPECT_EQ(tabs->tabText(1), "Backup Type");
    EXPECT_EQ(tabs->tabText(2), "Log File");
    EXPECT_EQ(tabs->tabText(3), "Other Settings");
    auto* combo = widget<QComboBox>("Combo1");
    for (int i = 0; i < 10; ++i) EXPECT_EQ(combo->itemText(i), QStringLiteral("Tape Drive:%1").arg((i + 1) % 10));
}

TEST_F(MainWindowLayoutTest, PlacesInPixelsAtNinetySixDpi) {
    if (view->twips().dpi() != 96) GTEST_SKIP() << "the screen is not at 96 dpi";
    auto* tabs = widget<QWidget>("SSTab1");
    EXPECT_EQ(tabs->geometry(), QRect(8, 32, 433, 185));
    // On a page, relative to the tab control's corner as the form has it.
    auto* page0 = widget<QWidget>("SSTab1_Page0");
    EXPECT_EQ(page0->geometry(), QRect(0, 0, 433, 185));
    EXPECT_EQ(widget<QWidget>("Text1")->geometry(), QRect(72, 32, 65, 19));
    EXPECT_EQ(widget<QWidget>("text2")->geometry(), QRect(72, 64, 65, 19));
    EXPECT_EQ(widget<QWidget>("SSPanel1")->geometry(), QRect(160, 96, 257, 73));
    EXPECT_EQ(widget<QWidget>("lblsetback")->geometry(), QRect(8, 8, 241, 25));
    EXPECT_EQ(widget<QWidget>("lognamebox")->geometry(), QRect(256, 72, 145, 19));
    EXPECT_EQ(widget<QWidget>("Frame1")->geometry(), QRect(8, 48, 145, 97));
    EXPECT_EQ(widget<QWidget>("Option6")->pos(), QPoint(16, 16));
    EXPECT_EQ(widget<QWidget>("Check7")->pos(), QPoint(152, 64));
    EXPECT_EQ(widget<QWidget>("Check13")->pos(), QPoint(352, 64));
    EXPECT_EQ(widget<QWidget>("Option5")->pos(), QPoint(24, 136));
    EXPECT_EQ(widget<QWidget>("Combo1")->pos(), QPoint(240, 72));
    EXPECT_EQ(widget<QWidget>("Combo1")->width(), 113);
    EXPECT_EQ(widget<QWidget>("Check6")->pos(), QPoint(216, 120));
    // Outside the tab control, relative to the client area's corner.
    EXPECT_EQ(widget<QWidget>("Outline1")->geometry(), QRect(8, 240, 209, 97));
    EXPECT_EQ(widget<QWidget>("Outline2")->geometry(), QRect(232, 240, 201, 97));
    EXPECT_EQ(widget<QWidget>("Label25")->pos(), QPoint(8, 224));
    EXPECT_EQ(widget<QWidget>("Label26")->pos(), QPoint(232, 224));
    EXPECT_EQ(widget<QWidget>("Shape1")->geometry(), QRect(448, 320, 17, 9));
    EXPECT_EQ(widget<QWidget>("lblSnozzeTime")->geometry(), QRect(464, 320, 73, 17));
    EXPECT_EQ(widget<QWidget>("Label116")->pos(), QPoint(472, 72));
    EXPECT_EQ(widget<QWidget>("lblTimeNow")->y(), 40);
    EXPECT_EQ(widget<QWidget>("lblTimeNow")->height(), 33);
    // The clock stays centred where the form has it, even when wider.
    EXPECT_EQ(widget<QWidget>("lblTimeNow")->geometry().center().x(), QRect(464, 40, 121, 33).center().x());
    EXPECT_EQ(widget<QWidget>("Toolbar1")->geometry(), QRect(0, 0, 601, 27));
    EXPECT_EQ(widget<QWidget>("StatusBar1")->geometry(), QRect(0, 351, 601, 20));
    EXPECT_EQ(view->client()->size(), QSize(601, 371));
}

TEST_F(MainWindowLayoutTest, ControlsKeepTheirPlacesWhenTheWindowIsResized) {
    auto* text = widget<QWidget>("Text1");
    auto* list = widget<QWidget>("Outline2");
    const QPoint textAt = text->mapTo(view, QPoint());
    const QRect listAt = list->geometry();
    const int barHeight = widget<QWidget>("StatusBar1")->height();

    view->resize(view->width() + 150, view->height() + 90);
    QApplication::processEvents();

    EXPECT_EQ(text->mapTo(view, QPoint()), textAt);
    EXPECT_EQ(list->geometry(), listAt);
    // The toolbar and the status bar follow the edges.
    EXPECT_EQ(widget<QWidget>("Toolbar1")->width(), view->client()->width());
    auto* bar = widget<QWidget>("StatusBar1");
    EXPECT_EQ(bar->geometry().bottom(), view->client()->height() - 1);
    EXPECT_EQ(bar->width(), view->client()->width());
    EXPECT_EQ(bar->height(), barHeight);
}

// Whether a widget shows its whole text on one line.
bool showsWholeText(const QWidget* w) {
    if (auto* label = qobject_cast<const QLabel*>(w)) {
        if (label->wordWrap()) return label->heightForWidth(label->width()) <= label->height();
        return label->sizeHint().width() <= label->width() && label->sizeHint().height() <= label->height();
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) return button->sizeHint().width() <= button->width();
    return true;
}

TEST_F(MainWindowLayoutTest, NoFixedTextIsCutOff) {
    const char* const fixed[] = {"Label116", "Label25", "Label26", "Label112", "Label113", "Label114", "Label115",
                                 "Label117", "Label11", "DailyCheck", "Check1", "Check2", "Check3", "Check4",
                                 "Check5", "Check6", "Check7", "Check8", "Check9", "Check10", "Check11",
                                 "Check12", "Check13", "Option1", "Option2", "Option3", "Option4", "Option5",
                                 "Option6", "Option7", "Option8"};
    for (const char* name : fixed) EXPECT_TRUE(showsWholeText(widget<QWidget>(name))) << name;
    // The clock's widest time.
    auto* clock = widget<QLabel>("lblTimeNow");
    EXPECT_LE(clock->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")), clock->width());
    auto* tabs = widget<QTabBar>("SSTab1_Tabs");
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_LE(tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)), tabs->tabRect(i).width()) << i;
}

TEST_F(MainWindowLayoutTest, LabelsNeverReachUnderTheBoxesTheyName) {
    const std::pair<const char*, const char*> pairs[] = {
        {"Label112", "Text1"}, {"Label113", "text2"}, {"Label117", "lognamebox"}};
    for (const auto& [label, box] : pairs)
        EXPECT_LT(widget<QWidget>(label)->geometry().right(), widget<QWidget>(box)->x()) << label;
    // The tape drive label's lines end above its drop-down.
    EXPECT_LE(widget<QWidget>("Label11")->geometry().bottom(), widget<QWidget>("Combo1")->y());
    // "Log File Name:" stays clear of the frame to its left.
    EXPECT_GT(widget<QWidget>("Label117")->x(), widget<QWidget>("Frame1")->geometry().right());
}

TEST_F(MainWindowLayoutTest, ClockIsBigRedAndCentredOnGrey) {
    auto* clock = widget<QLabel>("lblTimeNow");
    EXPECT_TRUE(clock->font().bold());
    EXPECT_DOUBLE_EQ(clock->font().pointSizeF(), 20.25);
    EXPECT_EQ(clock->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_EQ(clock->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(clock->palette().color(QPalette::Window), qtui::panelGrey());
    EXPECT_TRUE(clock->autoFillBackground());
    auto* line = widget<QLabel>("lblsetback");
    EXPECT_EQ(line->palette().color(QPalette::WindowText), QColor(0, 0, 192));
    EXPECT_EQ(widget<QWidget>("SSPanel1")->palette().color(QPalette::Window), qtui::panelGrey());
    EXPECT_TRUE(view->font().bold());
    EXPECT_DOUBLE_EQ(view->font().pointSizeF(), 8.25);
}

TEST_F(MainWindowLayoutTest, MenusInTheirOrderWithShortcuts) {
    const QList<QAction*> top = view->menuBar()->actions();
    ASSERT_EQ(top.size(), 3);
    EXPECT_EQ(top[0]->text(), "&File");
    EXPECT_EQ(top[1]->text(), "&Utilities");
    EXPECT_EQ(top[2]->text(), "&Help");
    auto texts = [](QAction* menu) {
        QStringList out;
        for (QAction* a : menu->menu()->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return out;
    };
    EXPECT_EQ(texts(top[0]), (QStringList{"&Refresh", "&Start Backup", "&Close", "&Minimize"}));
    EXPECT_EQ(texts(top[1]), (QStringList{"Sound", "Clear Current Drive Selection", "-", "View Log File",
                                          "Delete Log File"}));
    EXPECT_EQ(texts(top[2]), (QStringList{"Help", "-", "&About"}));
    EXPECT_EQ(action("mnurefresh")->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(action("mnustartbackupnow")->shortcut(), QKeySequence(Qt::Key_F12));
    EXPECT_TRUE(action("mnusound")->isCheckable());
    EXPECT_FALSE(action("mnuview")->isCheckable());
}

TEST_F(MainWindowLayoutTest, F12StartsTheBackupAtOnceAndF5ScansTheDrives) {
    int scans = 0;
    count(f().mnurefresh.onClick, scans);
    ASSERT_TRUE(fp.processes.started.empty());

    input::key(widget<QWidget>("Text1"), Qt::Key_F12);
    ASSERT_EQ(fp.processes.started.size(), 1u);
    EXPECT_EQ(fp.processes.started[0].commandLine.rfind("NTBackup.exe Backup", 0), 0u);

    const auto probes = fp.drives.probed.size();
    input::key(widget<QWidget>("Text1"), Qt::Key_F5);
    EXPECT_EQ(scans, 1);
    EXPECT_GT(fp.drives.probed.size(), probes);
}

TEST_F(MainWindowLayoutTest, ToolbarHasSevenItemsWithTheirTooltips) {
    auto* bar = widget<QToolBar>("Toolbar1");
    const QList<QAction*> items = bar->actions();
    ASSERT_EQ(items.size(), 7);
    const bool separator[] = {true, false, false, false, true, false, false};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(items[i]->isSeparator(), separator[i]) << i;
    EXPECT_EQ(items[1]->toolTip(), "Open Log File");
    EXPECT_EQ(items[2]->toolTip(), "Delete Log File");
    EXPECT_EQ(items[6]->toolTip(), "Help");
    EXPECT_TRUE(items[3]->toolTip().isEmpty());
    EXPECT_TRUE(items[5]->toolTip().isEmpty());
    for (int i : {1, 2, 6}) EXPECT_FALSE(items[i]->icon().isNull()) << i;
    for (int i : {1, 2, 3, 5, 6}) {
        QWidget* button = bar->widgetForAction(items[i]);
        ASSERT_NE(button, nullptr);
        EXPECT_FALSE(button->accessibleName().isEmpty()) << i;
        EXPECT_EQ(button->size(), bar->widgetForAction(items[1])->size()) << i;
    }
}

TEST_F(MainWindowLayoutTest, ToolbarClicksReachTheModelByKey) {
    auto* bar = widget<QToolBar>("Toolbar1");
    const QList<QAction*> items = bar->actions();

    input::click(bar->widgetForAction(items[6]));
    ASSERT_EQ(fp.processes.started.size(), 1u);
    EXPECT_EQ(fp.processes.started[0].commandLine, "winhlp32.exe KelvaroWorkStation.hlp");

    // The blank buttons do nothing.
    const int before = saves();
    const auto shown = fp.messages.shown.size();
    input::click(bar->widgetForAction(items[3]));
    input::click(bar->widgetForAction(items[5]));
    EXPECT_EQ(fp.processes.attempts.size(), 1u);
    EXPECT_EQ(fp.messages.shown.size(), shown);
    EXPECT_EQ(saves(), before);

    // "Open Log File" with no log file set: the model answers with its message.
    input::click(bar->widgetForAction(items[1]));
    ASSERT_EQ(fp.messages.shown.size(), shown + 1);
    EXPECT_EQ(fp.messages.shown.back().text, "No Log File Set.");
}

TEST_F(MainWindowLayoutTest, StatusBarShowsTheHintAndKeepsDateAndTime) {
    auto* hint = widget<QLabel>("lblevent");
    f().StatusBar1.setPanelText(2, "Backup Start Time");
    EXPECT_EQ(hint->text(), "Backup Start Time");

    const QDateTime moment(QDate(2023, 11, 7), QTime(8, 5, 9));
    view->setClock([moment] { return moment; });
    EXPECT_EQ(widget<QLabel>("StatusBar1_Date")->text(), QLocale().toString(moment.date(), QLocale::ShortFormat));
    EXPECT_EQ(widget<QLabel>("StatusBar1_Time")->text(), "08:05:09");

    // Date and time stay inside the window, right of the hint.
    auto* time = widget<QLabel>("StatusBar1_Time");
    EXPECT_LE(time->mapTo(view, QPoint(time->width(), 0)).x(), view->width());
    EXPECT_GT(time->x(), hint->x());
    EXPECT_GE(time->width(), time->sizeHint().width());
}

TEST_F(MainWindowLayoutTest, DateAndTimeTickOnTheirOwn) {
    QDateTime moment(QDate(2023, 11, 7), QTime(8, 5, 9));
    view->setClock([&moment] { return moment; });
    moment = moment.addSecs(1);
    auto* time = widget<QLabel>("StatusBar1_Time");
    EXPECT_EQ(time->text(), "08:05:09");
    QTest::qWait(1300);
    EXPECT_EQ(time->text(), "08:05:10");
}

}  // namespace
}  // namespace kelvaro::test
