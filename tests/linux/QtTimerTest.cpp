// The Qt timer: ticks come only through the event loop, and only while
// enabled with an interval above zero.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <thread>

#include "platform/linux/QtTimer.h"

using kelvaro::linuxp::QtTimer;
using kelvaro::linuxp::QtTimerFactory;

namespace {

// Runs the event loop until `done` holds or the (generous) limit passes.
template <typename Pred>
void spinUntil(Pred done, int limitMs = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limitMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

void spinFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

}  // namespace

TEST(QtTimer, FactoryMakesQtTimersThatStartDisabled) {
    QtTimerFactory factory;
    auto timer = factory.createTimer();
    ASSERT_NE(dynamic_cast<QtTimer*>(timer.get()), nullptr);
    EXPECT_FALSE(timer->enabled());
    EXPECT_EQ(timer->interval(), 0);
    timer->setInterval(500);
    timer->setEnabled(true);
    EXPECT_EQ(timer->interval(), 500);
    EXPECT_TRUE(timer->enabled());
}

TEST(QtTimer, TicksRepeatedlyWhileEnabled) {
    QtTimer timer;
    int ticks = 0;
    timer.setCallback([&] { ++ticks; });
    timer.setInterval(10);
    timer.setEnabled(true);
    EXPECT_TRUE(timer.isTicking());
    spinUntil([&] { return ticks >= 3; });
    EXPECT_GE(ticks, 3);
}

TEST(QtTimer, TicksOnlyThroughTheEventLoop) {
    QtTimer timer;
    int ticks = 0;
    timer.setCallback([&] { ++ticks; });
    timer.setInterval(5);
    timer.setEnabled(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ticks, 0);
    spinUntil([&] { return ticks >= 1; });
    EXPECT_GE(ticks, 1);
}

TEST(QtTimer, DisabledTimerStaysSilent) {
    QtTimer timer;
    int ticks = 0;
    timer.setCallback([&] { ++ticks; });
    timer.setInterval(5);
    spinFor(60);
    EXPECT_EQ(ticks, 0);
    EXPECT_FALSE(timer.isTicking());
}

TEST(QtTimer, DisablingFromTheCallbackStopsAfterOneTick) {
    QtTimer timer;
    int ticks = 0;
    timer.setCallback([&] {
        ++ticks;
        timer.setEnabled(false);
    });
    timer.setInterval(5);
    timer.setEnabled(true);
    spinUntil([&] { return ticks >= 1; });
    spinFor(60);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer.enabled());
}

TEST(QtTimer, IntervalZeroKeepsAnEnabledTimerSilent) {
    QtTimer timer;
    int ticks = 0;
    timer.setCallback([&] { ++ticks; });
    timer.setEnabled(true);
    spinFor(30);
    EXPECT_EQ(ticks, 0);
    EXPECT_TRUE(timer.enabled());
    EXPECT_FALSE(timer.isTicking());
    timer.setInterval(5);  // an interval wakes it up
    spinUntil([&] { return ticks >= 1; });
    EXPECT_GE(ticks, 1);
    timer.setInterval(0);
    const int before = ticks;
    spinFor(30);
    EXPECT_EQ(ticks, before);
}

TEST(QtTimer, KeepsTickingWhileItsOwnCallbackRunsANestedLoop) {
    // A schedule tick opens the modal countdown; the clock must keep going.
    QtTimer timer;
    int ticks = 0;
    int nestedTicks = 0;
    bool inside = false;
    timer.setCallback([&] {
        ++ticks;
        if (inside) {
            ++nestedTicks;
            return;
        }
        inside = true;
        spinFor(300);
        inside = false;
    });
    timer.setInterval(20);
    timer.setEnabled(true);
    spinUntil([&] { return ticks >= 1 && !inside; }, 3000);
    timer.setEnabled(false);
    EXPECT_GE(nestedTicks, 5);
}
