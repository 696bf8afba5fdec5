// What the status bar does on each second while the program waits: the date
// and time panels take their new texts without laying out the bar again (which
// would repaint every panel).
#include <QStatusBar>

#include "tests/qt/ViewFixture.h"

namespace kelvaro::test {
namespace {

using StatusBarTickTest = ViewFixture;

// Counts one kind of event delivered to one object.
struct EventCount : QObject {
    EventCount(QObject* target, QEvent::Type type) : type(type) { target->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == type) ++count;
        return false;
    }
    QEvent::Type type;
    int count = 0;
};

TEST_F(StatusBarTickTest, ANewTimeLaysNothingOutAgainAndLeavesTheOtherPanelsAlone) {
    QDateTime moment(QDate(2023, 11, 7), QTime(8, 5, 9));
    view->setClock([&moment] { return moment; });
    QApplication::processEvents();
    auto* time = widget<QLabel>("StatusBar1_Time");
    const QRect before = time->geometry();

    EventCount layouts(widget<QStatusBar>("StatusBar1"), QEvent::LayoutRequest);
    EventCount hintPaints(widget<QLabel>("lblevent"), QEvent::Paint);
    EventCount timePaints(time, QEvent::Paint);
    // "11:11:11" is narrower than "08:05:09" in most fonts: a new size hint.
    for (const QTime t : {QTime(8, 5, 10), QTime(11, 11, 11), QTime(20, 48, 0)}) {
        moment.setTime(t);
        view->updateDateTimePanels();
        QApplication::processEvents();
        EXPECT_EQ(time->text(), t.toString(QStringLiteral("HH:mm:ss")));
    }
    moment.setDate(QDate(2023, 12, 31));
    view->updateDateTimePanels();
    QApplication::processEvents();
    EXPECT_EQ(widget<QLabel>("StatusBar1_Date")->text(), QLocale().toString(moment.date(), QLocale::ShortFormat));

    EXPECT_EQ(layouts.count, 0);
    EXPECT_EQ(hintPaints.count, 0);
    EXPECT_EQ(timePaints.count, 3);
    EXPECT_EQ(time->geometry(), before);
}

TEST_F(StatusBarTickTest, ANewClockTextBringsTheTimePanelIntoTheClocksOwnRedraw) {
    QDateTime moment(QDate(2023, 11, 7), QTime(8, 5, 9));
    view->setClock([&moment] { return moment; });
    QApplication::processEvents();
    auto* time = widget<QLabel>("StatusBar1_Time");
    EventCount timePaints(time, QEvent::Paint);

    moment = moment.addSecs(1);
    f().lblTimeNow.setCaption("08:05:10");
    EXPECT_EQ(time->text(), "08:05:10");
    // The clock's immediate redraw paints the panel too, with no pass of the event loop.
    f().lblTimeNow.refresh();
    EXPECT_EQ(timePaints.count, 1);
    QApplication::processEvents();
    EXPECT_EQ(timePaints.count, 1);
}

}  // namespace
}  // namespace kelvaro::test
