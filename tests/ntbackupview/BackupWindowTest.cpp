#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "ntbackup/qt/BackupWindow.h"
#include "ntbackup/qt/WindowRun.h"

namespace kelvaro::ntbackup {
namespace {

// What the event loop would deliver next: the window decides a run's end there.
void settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

class BackupWindowTest : public ::testing::Test {
protected:
    BackupWindowTest() {
        window.show();
        QObject::connect(&window, &BackupWindow::done, [this](int status) { done.push_back(status); });
    }
    QString text(const char* name) { return window.findChild<QLabel*>(name)->text(); }
    QPushButton* button() { return window.findChild<QPushButton*>("cmdCancel"); }

    ProgressModel model;
    std::atomic<bool> cancel{false};
    BackupWindow window{model, cancel};
    std::vector<int> done;  // each emission of done(), with its status
};

TEST_F(BackupWindowTest, ShowsThePhaseAndProgressAsTheRunTellsThem) {
    EXPECT_EQ(window.windowTitle(), "Backup");
    model.phase("Backing up drive c: [/home/alice]");
    model.progress({120, 3u << 20}, {130, 4u << 20}, false);
    window.refresh();
    EXPECT_EQ(text("lblCounts"), "120 files, 3.0 MB, still counting");
    EXPECT_EQ(window.findChild<QProgressBar*>("progress")->maximum(), 0);  // busy, no share yet
    model.progress({120, 3u << 20}, {480, 12u << 20}, true);
    model.exception("c: ./secret: Cannot open: Permission denied");
    window.refresh();
    EXPECT_EQ(text("lblPhase"), "Backing up drive c: [/home/alice]");
    EXPECT_EQ(text("lblCounts"), "120 of 480 files, 3.0 MB of 12.0 MB");
    EXPECT_EQ(window.findChild<QLabel*>("lblCounts")->accessibleName(), "120 of 480 files, 3.0 MB of 12.0 MB");
    EXPECT_EQ(window.findChild<QProgressBar*>("progress")->value(), 25);
    EXPECT_EQ(text("lblExceptions"), "Exceptions: 1. Last: c: ./secret: Cannot open: Permission denied");
}

TEST_F(BackupWindowTest, CancelAsksTheRunToStopAndTheWindowWaitsForItsEnd) {
    button()->click();
    EXPECT_TRUE(cancel.load());
    EXPECT_FALSE(button()->isEnabled());
    window.close();  // closing while the run goes on is a cancel too, and waits
    EXPECT_TRUE(window.isVisible());
    model.finished({2, "Backup cancelled."});
    window.refresh();
    settle();
    ASSERT_TRUE(done.empty());  // a cancelled run is not a success: it stays to be read
    EXPECT_EQ(text("lblPhase"), "Backup cancelled.");
}

TEST_F(BackupWindowTest, ASuccessEndsTheWindowAFailureStaysUntilClosed) {
    model.finished({1, "Backup done with 2 exceptions."});
    window.refresh();
    EXPECT_TRUE(done.empty());  // decided in the event loop, not inside refresh()
    settle();
    EXPECT_EQ(done, std::vector<int>{1});
    window.refresh();
    settle();
    EXPECT_EQ(done, std::vector<int>{1});  // once

    ProgressModel failing;
    BackupWindow failed{failing, cancel};
    std::vector<int> failedDone;
    QObject::connect(&failed, &BackupWindow::done, [&](int status) { failedDone.push_back(status); });
    failed.show();
    failing.finished({2, "No drives are selected for backup."});
    failed.refresh();
    settle();
    EXPECT_TRUE(failedDone.empty());
    EXPECT_EQ(failed.findChild<QLabel*>("lblPhase")->text(), "No drives are selected for backup.");
    EXPECT_FALSE(failed.findChild<QLabel*>("lblCounts")->isVisible());  // nothing was counted
    QPushButton* close = failed.findChild<QPushButton*>("cmdCancel");
    EXPECT_EQ(close->text(), "Close");
    close->click();
    EXPECT_EQ(failedDone, std::vector<int>{2});
}

TEST(BackupWindowEnd, ARunOverBeforeTheWindowIsMadeReachesWhoConnectsAfterwards) {
    ProgressModel model;
    model.finished({0, "Backup done."});  // the worker was quicker than the window
    std::atomic<bool> cancel{false};
    BackupWindow window(model, cancel);
    std::vector<int> done;
    QObject::connect(&window, &BackupWindow::done, [&](int status) { done.push_back(status); });
    window.show();
    window.refresh();
    settle();
    EXPECT_EQ(done, std::vector<int>{0});
}

// showUntilDone() in a loop of its own, ended after 5 s if it never ends by itself.
struct LoopRun {
    int status = -1;
    std::vector<int> ended;  // the status each call of the ended hook saw
};
LoopRun runLoop(const ProgressModel& model, WindowRunHooks hooks, const std::function<void()>& meanwhile = {}) {
    LoopRun run;
    std::atomic<bool> cancel{false};
    hooks.ended = [&](const ProgressState& s) { run.ended.push_back(s.result ? s.result->status : -1); };
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(5000);
    if (meanwhile) QTimer::singleShot(300, meanwhile);
    run.status = showUntilDone(model, cancel, hooks);
    return run;
}

TEST(BackupWindowEnd, TheLoopEndsForARunOverBeforeItStarted) {
    for (const bool minimised : {false, true}) {
        SCOPED_TRACE(minimised ? "minimised" : "normal");
        ProgressModel model;
        model.finished({1, "Backup done with 1 exception."});
        const LoopRun run = runLoop(model, {minimised, {}, {}});
        EXPECT_EQ(run.status, 1);  // 99: the end was lost
        EXPECT_EQ(run.ended, std::vector<int>{1});
    }
}

TEST(BackupWindowEnd, AFailureKeepsTheLoopUntilTheWindowIsClosedOrASignalCame) {
    ProgressModel model;
    model.finished({2, "Backup failed: None of the selected drives exists."});
    bool shownMeanwhile = false;
    const LoopRun closed = runLoop(model, {true, {}, {}}, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<BackupWindow*>(w); window && window->isVisible()) {
                shownMeanwhile = !window->isMinimized();  // a failure is put back in view
                window->close();
            }
    });
    EXPECT_TRUE(shownMeanwhile);
    EXPECT_EQ(closed.status, 2);
    EXPECT_EQ(closed.ended, std::vector<int>{2});

    bool signalled = false;
    const LoopRun stopped = runLoop(model, {false, {}, [&] { return signalled; }}, [&] { signalled = true; });
    EXPECT_EQ(stopped.status, 2);
}

TEST(BackupWindowEnd, AMinimisedWindowKeepsItsSizeUntilItIsBackInView) {
    ProgressModel model;
    std::atomic<bool> cancel{false};
    BackupWindow window(model, cancel);
    window.adjustSize();
    window.showMinimized();
    settle();
    const QSize minimised = window.size();
    model.progress({120, 3u << 20}, {480, 12u << 20}, true);
    model.exception("c: ./a/very/long/path/that/wraps/over/lines/in/the/window: Cannot open: Permission denied");
    model.notice("Tape 1 is in use by another backup run: waiting for it to end.");
    window.refresh();
    settle();
    // Any new geometry would put the window back on the screen (Qt's X11 backend).
    EXPECT_EQ(window.size(), minimised);
    window.showNormal();
    settle();
    EXPECT_GT(window.height(), minimised.height());  // fits what it now shows
}

}  // namespace
}  // namespace kelvaro::ntbackup
