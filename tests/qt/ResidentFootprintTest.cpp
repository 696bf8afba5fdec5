// What the resident program keeps once it has started: nothing of the closed
// splash.
#include <QProxyStyle>
#include <algorithm>

#include "tests/qt/ViewFixture.h"

namespace kelvaro::test {
namespace {

using ResidentFootprintTest = ViewFixture;

TEST_F(ResidentFootprintTest, TheClosedSplashIsGone) {
    // Deleted once the loop runs after the close, with its pictures and window.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::allWidgets()) EXPECT_NE(w->objectName(), "Opening");
    // The main window keeps its own.
    EXPECT_NE(view->windowHandle(), nullptr);
}

}  // namespace
}  // namespace kelvaro::test

namespace kelvaro::test {
namespace {

TEST_F(ResidentFootprintTest, TheDayBoxesHaveTheirNarrowGapWithoutAStyleSheet) {
    for (const char* name : {"Check7", "Check8", "Check9", "Check10", "Check11", "Check12", "Check13"}) {
        auto* box = widget<QCheckBox>(name);
        EXPECT_EQ(box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box), 3) << name;
        // The application's style underneath, the gap aside.
        auto* proxy = qobject_cast<QProxyStyle*>(box->style());
        ASSERT_NE(proxy, nullptr) << name;
        EXPECT_EQ(proxy->baseStyle()->name(), QApplication::style()->name()) << name;
    }
    // The other boxes keep the style's own gap.
    auto* append = widget<QCheckBox>("Check1");
    EXPECT_EQ(append->style(), QApplication::style());
    EXPECT_NE(append->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, append), 3);
    for (const QWidget* w : view->findChildren<QWidget*>()) EXPECT_TRUE(w->styleSheet().isEmpty()) << w->objectName().toStdString();
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
}

}  // namespace
}  // namespace kelvaro::test
