// What the resident program keeps once it has started: nothing of the closed
// splash but the widget itself.
#include <algorithm>

#include "tests/qt/ViewFixture.h"

namespace kelvaro::test {
namespace {

using ResidentFootprintTest = ViewFixture;

TEST_F(ResidentFootprintTest, TheClosedSplashKeepsNoWindowOfItsOwn) {
    const QWidgetList tops = QApplication::topLevelWidgets();
    const auto it = std::find_if(tops.begin(), tops.end(), [](QWidget* w) { return w->objectName() == "Opening"; });
    ASSERT_NE(it, tops.end());
    EXPECT_FALSE((*it)->isVisible());
    EXPECT_EQ((*it)->windowHandle(), nullptr);
    EXPECT_FALSE((*it)->testAttribute(Qt::WA_WState_Created));
    // The main window keeps its own.
    EXPECT_NE(view->windowHandle(), nullptr);
}

}  // namespace
}  // namespace kelvaro::test
