// The main window as a window: caption, icon, frame, state, closing, hints.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "tests/qt/Input.h"
#include "tests/qt/ViewFixture.h"

namespace kelvaro::test {
namespace {

using MainWindowFrameTest = ViewFixture;

TEST_F(MainWindowFrameTest, NoWindowButtonsAndAResizableFrame) {
    const Qt::WindowFlags flags = view->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_NE(view->minimumSize(), view->maximumSize());
}

TEST_F(MainWindowFrameTest, CaptionFollowsTheTitleAnimation) {
    EXPECT_EQ(view->windowTitle(), "Kelvaro...");
    fp.icons.loadable = {ctx.settings.startDirectory + "KELVARO1.ICO", ctx.settings.startDirectory + "KELVARO2.ICO"};
    model->titleTick();
    EXPECT_EQ(view->windowTitle(), "Running...");
    model->titleTick();
    EXPECT_EQ(view->windowTitle(), "Kelvaro Workstation...");
}

TEST_F(MainWindowFrameTest, IconComesFromTheMappedFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(dir.filePath("two.png")));
    std::vector<std::string> asked;
    const std::string folder = dir.path().toStdString();
    form::MainForm form;
    qtui::MainWindowView own(form, [&asked, folder](const std::string& windowsPath) {
        asked.push_back(windowsPath);
        return folder + "/two.png";
    });

    form.window.setIconPath("C:\\KELVARO\\KELVARO2.ICO");

    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "C:\\KELVARO\\KELVARO2.ICO");
    ASSERT_FALSE(own.windowIcon().isNull());
    EXPECT_EQ(own.windowIcon().pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
}

TEST_F(MainWindowFrameTest, WindowStateFollowsTheModelBothWays) {
    EXPECT_FALSE(view->isMinimized());
    f().window.setState(form::WindowState::Minimized);
    EXPECT_TRUE(view->isMinimized());
    f().window.setState(form::WindowState::Normal);
    EXPECT_FALSE(view->isMinimized());

    // Restored or minimised through the desktop: the model knows, so that its
    // own next change is not taken for no change.
    view->showMinimized();
    EXPECT_EQ(f().window.state(), form::WindowState::Minimized);
    view->showNormal();
    EXPECT_EQ(f().window.state(), form::WindowState::Normal);
}

TEST_F(MainWindowFrameTest, MinimizeMenuEntryMinimizes) {
    action("mnumin")->trigger();
    EXPECT_TRUE(view->isMinimized());
}

TEST_F(MainWindowFrameTest, PlacedWhereTheModelCentredIt) {
    const int px = view->twips().px(f().window.left());
    const int py = view->twips().px(f().window.top());
    EXPECT_GT(f().window.left(), 0);
    EXPECT_EQ(view->pos(), QPoint(px, py));
}

TEST_F(MainWindowFrameTest, CloseFromOutsideAsksAndNoKeepsTheWindow) {
    fp.icons.loadable = {ctx.settings.startDirectory + "KELVARO2.ICO"};
    model->titleTick();  // the caption of that moment is the question's caption
    fp.messages.answers = {platform::Answer::No};
    int closed = 0;
    QObject::connect(view, &qtui::MainWindowView::closedForGood, [&closed] { ++closed; });

    EXPECT_FALSE(view->close());

    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_EQ(fp.messages.shown[0].text, "Do you really want to end this session?");
    EXPECT_EQ(fp.messages.shown[0].caption, "Running...");
    EXPECT_EQ(fp.messages.shown[0].icon, platform::Icon::Question);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(closed, 0);

    fp.messages.answers = {platform::Answer::Yes};
    EXPECT_TRUE(view->close());
    EXPECT_EQ(fp.messages.shown.size(), 2u);
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(closed, 1);

    // The application closing its windows on the way out asks nothing more.
    EXPECT_TRUE(view->close());
    EXPECT_EQ(fp.messages.shown.size(), 2u);
}

TEST_F(MainWindowFrameTest, ConfirmedCloseEndsTheEventLoop) {
    fp.messages.answers = {platform::Answer::Yes};
    QTimer::singleShot(0, view, [this] { view->close(); });
    // A loop the close does not end would run into the safety exit.
    QTimer::singleShot(3000, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_EQ(fp.messages.shown.size(), 1u);
}

TEST_F(MainWindowFrameTest, QuitPromptNoMinimizesWithoutTheCloseQuestion) {
    fp.messages.answers = {platform::Answer::No};
    action("mnuclose")->trigger();
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_EQ(fp.messages.shown[0].caption, "Kelvaro");
    EXPECT_TRUE(view->isMinimized());
}

TEST_F(MainWindowFrameTest, HintsFollowThePointer) {
    auto* hint = widget<QLabel>("lblevent");
    input::moveOver(widget<QWidget>("Check7"));
    EXPECT_EQ(hint->text(), "Run Backup on Monday");
    input::moveOver(widget<QWidget>("Check8"));
    EXPECT_EQ(hint->text(), "Run Backup on Tuesday");

    // The bare window surface clears it.
    input::moveOver(view->client(), QPoint(view->client()->width() - 5, view->client()->height() / 2));
    EXPECT_EQ(hint->text(), "");

    input::moveOver(widget<QWidget>("Text1"));
    EXPECT_EQ(hint->text(), "Run Date or Start Date of Backup");
    input::moveOver(widget<QWidget>("lblsetback"));
    EXPECT_EQ(hint->text(), "Currently Saved Settings...");
    input::moveOver(widget<QWidget>("Outline2"));  // over its list area
    EXPECT_EQ(hint->text(), "Drives selected for backup...");
    input::moveOver(widget<QWidget>("lblTimeNow"));
    EXPECT_EQ(hint->text(), "Current System Time...");
    input::moveOver(widget<QWidget>("SSTab1_Tabs"));
    EXPECT_EQ(hint->text(), "");
}

TEST_F(MainWindowFrameTest, ControlWithoutHintLeavesItAndMovesWriteOnce) {
    auto* hint = widget<QLabel>("lblevent");
    input::moveOver(widget<QWidget>("Check7"));
    const int writes = f().StatusBar1.hintWrites;
    input::moveOver(widget<QWidget>("Check7"), QPoint(2, 2));
    input::moveOver(widget<QWidget>("Check7"), QPoint(4, 3));
    EXPECT_EQ(f().StatusBar1.hintWrites, writes);

    showPage(3);
    input::moveOver(widget<QWidget>("Check1"));
    EXPECT_EQ(hint->text(), "Run Backup on Monday");
    // The menu bar, toolbar and status bar are not the window surface.
    input::moveOver(view->menuBar());
    EXPECT_EQ(hint->text(), "Run Backup on Monday");
    input::moveOver(view->findChild<QToolBar*>());
    EXPECT_EQ(hint->text(), "Run Backup on Monday");
    input::moveOver(view->statusBar());
    EXPECT_EQ(hint->text(), "Run Backup on Monday");
    input::moveOver(widget<QWidget>("Check6"));
    EXPECT_EQ(hint->text(), "Kelvaro will start minimized");
}

TEST_F(MainWindowFrameTest, DisabledDayBoxGivesItsMoveToThePage) {
    auto* hint = widget<QLabel>("lblevent");
    input::moveOver(widget<QWidget>("Text1"));
    ASSERT_EQ(hint->text(), "Run Date or Start Date of Backup");
    f().Check9.setEnabled(false);
    input::moveOver(widget<QWidget>("Check9"));
    // The page belongs to the tab control, whose hint is empty.
    EXPECT_EQ(hint->text(), "");
}

}  // namespace
}  // namespace kelvaro::test
