// The countdown window on the desktop: its frame, texts, keyboard, the count
// and the launch, and the main window blocked while it is open.
#include <QPushButton>
#include <QTimer>

#include "schedule/Countdown.h"
#include "schedule/ScheduleCheck.h"
#include "tests/qt/Input.h"
#include "tests/qt/ViewFixture.h"
#include "ui/qt/CountBoxView.h"
#include "ui/qt/ViewStyle.h"

namespace kelvaro::test {
namespace {

// The countdown as the schedule check opens it, with its view not yet running.
struct CountBoxViewTest : ViewFixture {
    form::CountBoxForm box;
    std::unique_ptr<schedule::Countdown> countdown;
    std::unique_ptr<qtui::CountBoxView> countView;

    void open() {
        countdown = std::make_unique<schedule::Countdown>(ctx, box);
        countdown->load();
        schedule::centreWindow(box.window, ctx.platform.screen);
        countView = std::make_unique<qtui::CountBoxView>(box);
        countView->show();
        countView->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(countView.get()));
    }
    void TearDown() override {
        countView.reset();
        countdown.reset();
        ViewFixture::TearDown();
    }
    QPushButton* button(const char* name) { return countView->findChild<QPushButton*>(QLatin1String(name)); }
    QLabel* label(const char* name) { return countView->findChild<QLabel*>(QLatin1String(name)); }
};

TEST_F(CountBoxViewTest, NoTitleBarFixedSizeOnTopAndModal) {
    open();
    const Qt::WindowFlags flags = countView->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(countView->windowModality(), Qt::ApplicationModal);
    const auto& t = countView->twips();
    EXPECT_EQ(countView->minimumSize(), QSize(t.px(3345), t.px(1980)));
    EXPECT_EQ(countView->maximumSize(), countView->minimumSize());
    EXPECT_EQ(countView->pos(), QPoint(t.px(box.window.left()), t.px(box.window.top())));
    EXPECT_EQ(countView->objectName(), "CountBox");
}

TEST_F(CountBoxViewTest, TextsButtonsAndTheirPlaces) {
    open();
    EXPECT_EQ(label("Label2")->text(), "Kelvaro for Windows NT");
    EXPECT_EQ(label("Label1")->text(), "NTBackup Will Start In");
    EXPECT_EQ(label("Label1")->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_EQ(label("CountCaption")->text(), "");
    EXPECT_EQ(label("CountCaption")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_TRUE(label("CountCaption")->font().bold());
    EXPECT_DOUBLE_EQ(label("CountCaption")->font().pointSizeF(), 20.25);
    EXPECT_EQ(button("Command1")->text(), "&OK");
    EXPECT_EQ(button("Command2")->text(), "&Cancel");
    EXPECT_EQ(button("Command3")->text(), "&Snooze");
    EXPECT_EQ(button("Command1")->accessibleName(), "OK");
    // The count is blank for its first second: heard by its value (blank) then.
    for (const char* name : {"Label1", "Label2", "Command1", "Command2", "Command3"})
        EXPECT_FALSE(countView->findChild<QWidget*>(QLatin1String(name))->accessibleName().isEmpty()) << name;
    if (countView->twips().dpi() == 96) {
        EXPECT_EQ(label("CountCaption")->geometry(), QRect(72, 48, 97, 33));
        // Each button stays centred on its place, even when the font made it wider.
        EXPECT_EQ(button("Command1")->geometry().center(), QRect(8, 96, 57, 25).center());
        EXPECT_EQ(button("Command3")->geometry().center(), QRect(152, 96, 57, 25).center());
        EXPECT_EQ(button("Command1")->height(), 25);
    }
    // Whole texts, and the buttons do not run into each other.
    for (const char* name : {"Label1", "Label2"})
        EXPECT_LE(label(name)->sizeHint().width(), label(name)->width()) << name;
    for (const char* name : {"Command1", "Command2", "Command3"}) {
        QPushButton* b = button(name);
        EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text().remove('&')), b->width()) << name;
    }
    EXPECT_LT(button("Command1")->geometry().right(), button("Command2")->x());
    EXPECT_LT(button("Command2")->geometry().right(), button("Command3")->x());
    EXPECT_GE(button("Command1")->x(), 0);
    EXPECT_LE(button("Command3")->geometry().right(), countView->width() - 1);
}

TEST_F(CountBoxViewTest, FocusOnOkAndNoDefaultButton) {
    open();
    EXPECT_EQ(countView->focusWidget(), button("Command1"));
    for (const char* name : {"Command1", "Command2", "Command3"}) {
        EXPECT_FALSE(button(name)->isDefault()) << name;
        EXPECT_FALSE(button(name)->autoDefault()) << name;
    }
}

TEST_F(CountBoxViewTest, EscapeAndTheWindowManagersCloseLeaveItOpen) {
    open();
    input::key(button("Command1"), Qt::Key_Escape);
    input::key(countView.get(), Qt::Key_Escape);
    countView->reject();
    EXPECT_FALSE(countView->close());
    EXPECT_TRUE(countView->isVisible());
    EXPECT_TRUE(box.window.isOpen());
    EXPECT_TRUE(fp.processes.attempts.empty());
    EXPECT_TRUE(fp.messages.shown.empty());
}

TEST_F(CountBoxViewTest, EnterPressesOnlyTheFocusedButton) {
    open();
    button("Command2")->setFocus();
    input::key(button("Command2"), Qt::Key_Return);
    EXPECT_FALSE(box.window.isOpen());  // Cancel, not OK
    EXPECT_TRUE(fp.processes.attempts.empty());
    EXPECT_FALSE(countView->isVisible());
}

TEST_F(CountBoxViewTest, OkClickLaunchesAndCloses) {
    open();
    input::click(button("Command1"));
    EXPECT_EQ(fp.processes.started.size(), 1u);
    EXPECT_FALSE(box.window.isOpen());
    EXPECT_FALSE(countView->isVisible());
}

TEST_F(CountBoxViewTest, AltAcceleratorPressesItsButton) {
    open();
    fp.messages.answers = {platform::Answer::No};
    input::key(button("Command1"), Qt::Key_S, Qt::AltModifier);
    // A mnemonic presses its button the way a click looks: after a moment.
    QTest::qWait(300);
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_EQ(fp.messages.shown[0].text, " Snooze For 15 minutes  ");
    EXPECT_FALSE(box.window.isOpen());
}

TEST_F(CountBoxViewTest, CountsBlankThenThirtyDownToOneAndLaunchesOnOne) {
    std::vector<std::string> shown;
    std::vector<std::size_t> startedAt;
    bool blockedMainWindow = false;
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        auto* open = qobject_cast<qtui::CountBoxView*>(QApplication::activeModalWidget());
        if (!open) return;  // the test fails below: nothing was shown
        wasModal = open->isModal() && open->isVisible();
        auto* caption = open->findChild<QLabel*>(QStringLiteral("CountCaption"));
        shown.push_back(caption->text().toStdString());

        // The main window takes no input meanwhile.
        showPage(3);
        const bool before = f().Check1.checked();
        input::clickThroughWindow(widget<QCheckBox>("Check1"));
        blockedMainWindow = f().Check1.checked() == before;

        for (int second = 0; second < 30; ++second) {
            fp.timers.advance(1000);
            shown.push_back(caption->text().toStdString());
            startedAt.push_back(fp.processes.started.size());
            if (!open->isVisible()) break;
        }
    });

    model->openCountdown();

    EXPECT_TRUE(wasModal);
    EXPECT_TRUE(blockedMainWindow);
    ASSERT_EQ(shown.size(), 31u);
    EXPECT_EQ(shown[0], "");
    for (int i = 1; i <= 30; ++i) EXPECT_EQ(shown[i], std::to_string(31 - i)) << i;
    // Nothing started before the count reached 1, one launch on 1.
    for (int i = 0; i < 29; ++i) EXPECT_EQ(startedAt[i], 0u) << i;
    EXPECT_EQ(startedAt[29], 1u);
    ASSERT_EQ(fp.processes.started.size(), 1u);
    EXPECT_EQ(fp.processes.started[0].commandLine.rfind("NTBackup.exe Backup", 0), 0u);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(CountBoxViewTest, ClickThroughTheWindowSystemReachesTheCountdownItself) {
    // The counterpart of the blocked main window: the same path does reach the
    // countdown's own buttons.
    bool closedByClick = false;
    QTimer::singleShot(0, [&] {
        auto* open = qobject_cast<qtui::CountBoxView*>(QApplication::activeModalWidget());
        if (!open) return;
        input::clickThroughWindow(open->findChild<QPushButton*>(QStringLiteral("Command2")));
        closedByClick = !open->isVisible();
    });
    model->openCountdown();
    EXPECT_TRUE(closedByClick);
    EXPECT_TRUE(fp.processes.attempts.empty());
}

}  // namespace
}  // namespace kelvaro::test
