// What a screen reader hears: a label that shows a value is heard by that
// value, kept current, with what it is in its description; a window by its title.
#include <QAccessible>

#include "tests/qt/ViewFixture.h"
#include "ui/qt/AboutView.h"
#include "ui/qt/CountBoxView.h"
#include "ui/qt/SplashView.h"

namespace kelvaro::test {
namespace {

using AccessibleTextTest = ViewFixture;

QString heard(QObject* object, QAccessible::Text text = QAccessible::Name) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(text) : QStringLiteral("<no interface>");
}

TEST_F(AccessibleTextTest, ValueDisplaysAreHeardByTheirValueAfterAModelChange) {
    struct Case {
        const char* widget;
        std::function<void()> change;
        QString value;
        QString what;
    };
    const Case cases[] = {
        {"lblTimeNow", [&] { fp.clock.set(2024, 3, 4, 10, 20, 30); model->scheduleTick(); }, "10:20:30",
         "Current Time"},
        {"lblsetback2", [&] { f().Option7.select(); }, " Log File:   /L \"C:\\KELVARO.LOG\" /E ",
         "Currently Saved Settings"},
        {"lblSnozzeTime", [&] { f().lblSnozzeTime.setCaption("10:15"); }, "10:15", "Snoozed Run Time"},
        {"lblevent", [&] { model->mouseOver("Check7"); }, "Run Backup on Monday", "Hint"},
        {"StatusBar1_Time",
         [&] { view->setClock([] { return QDateTime(QDate(2024, 3, 4), QTime(23, 59, 58)); }); }, "23:59:58",
         "Time"},
    };
    for (const Case& c : cases) {
        auto* label = widget<QLabel>(c.widget);
        c.change();
        EXPECT_EQ(heard(label), c.value) << c.widget;
        EXPECT_EQ(heard(label, QAccessible::Description), c.what) << c.widget;
    }
}

TEST_F(AccessibleTextTest, TheWholeSettingsLineIsHeardAndShownAsTooltipThoughCutInItsBox) {
    f().Outline1.doubleClick(0);  // c:
    f().Outline1.doubleClick(1);  // d:
    f().Check1.setChecked(true);
    auto* line = widget<QLabel>("lblsetback");
    const QString whole = QString::fromStdString(f().lblsetback.caption());
    ASSERT_TRUE(whole.endsWith(" /Tape:1")) << whole.toStdString();
    ASSERT_TRUE(whole.contains(" /A ")) << whole.toStdString();
    ASSERT_TRUE(whole.startsWith(" c: d: ")) << whole.toStdString();
    EXPECT_EQ(heard(line), whole);
    EXPECT_EQ(line->toolTip(), whole);
    // The box keeps the form's size; the line does not fit in it.
    EXPECT_EQ(line->size(), QSize(view->twips().px(3615), view->twips().px(375)));
    EXPECT_GT(line->heightForWidth(line->width()), line->height());
}

TEST_F(AccessibleTextTest, WindowsAreHeardByTheirTitles) {
    const std::string dir = ctx.settings.startDirectory;
    fp.icons.loadable = {dir + "KELVARO1.ICO", dir + "KELVARO2.ICO"};
    model->titleTick();
    EXPECT_EQ(heard(view), "Running...");
    model->titleTick();
    EXPECT_EQ(heard(view), "Kelvaro Workstation...");

    form::AboutForm about;
    about.lblVersion.setCaption("Version: 4.0");
    qtui::AboutView aboutView(about);
    EXPECT_EQ(heard(&aboutView), "About Workstation Edition");
    auto* version = aboutView.findChild<QLabel*>(QStringLiteral("lblVersion"));
    EXPECT_EQ(heard(version), "Version: 4.0");
    EXPECT_EQ(heard(version, QAccessible::Description), "Version");
}

TEST_F(AccessibleTextTest, CountdownNumberAndSplashStatusAreHeardByTheirValues) {
    form::CountBoxForm box;
    qtui::CountBoxView countView(box);
    auto* count = countView.findChild<QLabel*>(QStringLiteral("CountCaption"));
    box.CountCaption.setCaption("29");
    EXPECT_EQ(heard(count), "29");
    EXPECT_EQ(heard(count, QAccessible::Description), "NTBackup Will Start In");

    form::SplashForm splashForm;
    qtui::SplashView splashView(splashForm, {});
    auto* status = splashView.findChild<QLabel*>(QStringLiteral("Label4"));
    splashForm.Label4.setCaption("d: [/mnt/data]");
    EXPECT_EQ(heard(status), "d: [/mnt/data]");
    EXPECT_EQ(heard(status, QAccessible::Description), "Status");
}

}  // namespace
}  // namespace kelvaro::test
