#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "ntbackup/qt/BackupWindow.h"

namespace kelvaro::ntbackup {
namespace {

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
    ASSERT_TRUE(done.empty());  // a cancelled run is not a success: it stays to be read
    EXPECT_EQ(text("lblPhase"), "Backup cancelled.");
}

TEST_F(BackupWindowTest, ASuccessEndsTheWindowAFailureStaysUntilClosed) {
    model.finished({1, "Backup done with 2 exceptions."});
    window.refresh();
    EXPECT_EQ(done, std::vector<int>{1});

    ProgressModel failing;
    BackupWindow failed{failing, cancel};
    std::vector<int> failedDone;
    QObject::connect(&failed, &BackupWindow::done, [&](int status) { failedDone.push_back(status); });
    failed.show();
    failing.finished({2, "No drives are selected for backup."});
    failed.refresh();
    EXPECT_TRUE(failedDone.empty());
    EXPECT_EQ(failed.findChild<QLabel*>("lblPhase")->text(), "No drives are selected for backup.");
    EXPECT_FALSE(failed.findChild<QLabel*>("lblCounts")->isVisible());  // nothing was counted
    QPushButton* close = failed.findChild<QPushButton*>("cmdCancel");
    EXPECT_EQ(close->text(), "Close");
    close->click();
    EXPECT_EQ(failedDone, std::vector<int>{2});
}

}  // namespace
}  // namespace kelvaro::ntbackup
