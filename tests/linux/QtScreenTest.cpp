// Screen size in twips and the busy pointer.
#include <gtest/gtest.h>

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <QtGui/qtestsupport_gui.h>

#include "platform/linux/QtScreen.h"

using kelvaro::linuxp::QtScreen;

namespace {

int overrideDepthOfShape(Qt::CursorShape shape) {
    const QCursor* c = QGuiApplication::overrideCursor();
    return c && c->shape() == shape ? 1 : 0;
}

}  // namespace

TEST(QtScreen, PixelsToTwipsAtCommonDensities) {
    EXPECT_EQ(QtScreen::pixelsToTwips(800, 96), 12000);
    EXPECT_EQ(QtScreen::pixelsToTwips(600, 96), 9000);
    EXPECT_EQ(QtScreen::pixelsToTwips(1024, 96), 15360);
    EXPECT_EQ(QtScreen::pixelsToTwips(768, 96), 11520);
    EXPECT_EQ(QtScreen::pixelsToTwips(1920, 120), 23040);
    EXPECT_EQ(QtScreen::pixelsToTwips(3840, 192), 28800);
    EXPECT_EQ(QtScreen::pixelsToTwips(1, 72), 20);
    EXPECT_EQ(QtScreen::pixelsToTwips(1, 97), 15);  // 14.85 rounds to the nearest
    EXPECT_EQ(QtScreen::pixelsToTwips(0, 96), 0);
    EXPECT_EQ(QtScreen::pixelsToTwips(100, 0), 1500);  // no density reported: 96
}

TEST(QtScreen, SizeIsThePrimaryScreenInTwips) {
    const QScreen* s = QGuiApplication::primaryScreen();
    ASSERT_NE(s, nullptr);
    QtScreen screen;
    const auto size = screen.size();
    EXPECT_EQ(size.width, qRound(s->geometry().width() * 1440.0 / s->logicalDotsPerInchX()));
    EXPECT_EQ(size.height, qRound(s->geometry().height() * 1440.0 / s->logicalDotsPerInchY()));
    EXPECT_GT(size.width, 0);
    EXPECT_GT(size.height, 0);
}

TEST(QtScreen, BusyPointerIsAStateAndStaysBalanced) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    QWindow window;  // a window on the screen to show it on
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    {
        QtScreen screen;
        screen.setBusyPointer(true);
        EXPECT_EQ(overrideDepthOfShape(Qt::WaitCursor), 1);
        screen.setBusyPointer(true);  // already busy: nothing more to undo later
        screen.setBusyPointer(false);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
    // A reset without a busy pointer of ours leaves someone else's cursor alone.
    QGuiApplication::setOverrideCursor(Qt::CrossCursor);
    {
        QtScreen screen;
        screen.setBusyPointer(false);
        EXPECT_EQ(overrideDepthOfShape(Qt::CrossCursor), 1);
        screen.setBusyPointer(true);
        EXPECT_EQ(overrideDepthOfShape(Qt::WaitCursor), 1);
    }  // destroyed while busy: its pointer goes with it
    EXPECT_EQ(overrideDepthOfShape(Qt::CrossCursor), 1);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(QtScreen, BusyPointerWaitsForAWindowOnTheScreen) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    QtScreen screen;
    // Busy and reset with nothing on the screen: nothing was ever put up.
    screen.setBusyPointer(true);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    screen.setBusyPointer(false);
    // Busy while the first window appears: it shows the busy pointer at once.
    screen.setBusyPointer(true);
    QWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(overrideDepthOfShape(Qt::WaitCursor), 1);
    screen.setBusyPointer(false);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
