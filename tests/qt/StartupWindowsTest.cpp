// The splash, the About box and the window host.
#include <QTimer>

#include "tests/qt/Input.h"
#include "tests/qt/ViewFixture.h"
#include "ui/qt/AboutView.h"
#include "ui/qt/SplashView.h"
#include "ui/qt/ViewStyle.h"

namespace kelvaro::test {
namespace {

using AboutViewTest = ViewFixture;

// Runs `whileOpen` inside the About box that the Help menu opens.
void withAboutOpen(ViewFixture& t, const std::function<void(qtui::AboutView&)>& whileOpen, bool* ran) {
    QTimer::singleShot(0, [whileOpen, ran] {
        auto* about = qobject_cast<qtui::AboutView*>(QApplication::activeModalWidget());
        if (!about) return;
        *ran = true;
        whileOpen(*about);
    });
    t.action("mnuabout")->trigger();
}

TEST_F(AboutViewTest, CaptionTextsAndFrame) {
    bool ran = false;
    withAboutOpen(*this, [](qtui::AboutView& about) {
        EXPECT_EQ(about.windowTitle(), "About Workstation Edition");
        const Qt::WindowFlags flags = about.windowFlags();
        EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowSystemMenuHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(about.minimumSize(), QSize(about.twips().px(6090), about.twips().px(4485)));
        EXPECT_EQ(about.maximumSize(), about.minimumSize());
        EXPECT_EQ(about.palette().color(QPalette::Window), QColor(192, 192, 192));
        auto text = [&about](const char* name) { return about.findChild<QLabel*>(QLatin1String(name))->text(); };
        EXPECT_EQ(text("lblProduct"), "Kelvaro for Windows NT");
        EXPECT_EQ(text("lblVersion"), "Version: 4.0");
        EXPECT_EQ(text("lbl32bit"), "32bit");
        EXPECT_EQ(text("lblBuild"), "Build: 96-0127");
        auto* bits = about.findChild<QLabel*>(QStringLiteral("lbl32bit"));
        EXPECT_DOUBLE_EQ(bits->font().pointSizeF(), 18);
        EXPECT_TRUE(bits->font().bold());
        EXPECT_TRUE(bits->font().italic());
        EXPECT_EQ(bits->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        // The program's picture from the shipped files.
        EXPECT_FALSE(about.findChild<QLabel*>(QStringLiteral("imgProgram"))->pixmap().isNull());
        for (QLabel* label : about.findChildren<QLabel*>()) {
            EXPECT_FALSE(label->accessibleName().isEmpty()) << label->objectName().toStdString();
            if (label->pixmap().isNull()) {
                EXPECT_LE(label->sizeHint().width(), label->width()) << label->objectName().toStdString();
            }
        }
        // Close it, or the menu entry never returns.
        input::click(&about);
    }, &ran);
    EXPECT_TRUE(ran);
}

TEST_F(AboutViewTest, AClickOnATextClosesIt) {
    bool ran = false;
    bool closed = false;
    withAboutOpen(*this, [&closed](qtui::AboutView& about) {
        input::click(about.findChild<QLabel*>(QStringLiteral("lblBuild")));
        closed = !about.isVisible();
    }, &ran);
    EXPECT_TRUE(ran);
    EXPECT_TRUE(closed);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(AboutViewTest, AClickOnThePictureClosesIt) {
    bool ran = false;
    bool closed = false;
    withAboutOpen(*this, [&closed](qtui::AboutView& about) {
        input::click(about.findChild<QLabel*>(QStringLiteral("imgProgram")));
        closed = !about.isVisible();
    }, &ran);
    EXPECT_TRUE(ran);
    EXPECT_TRUE(closed);
}

TEST_F(AboutViewTest, KeysOtherThanTheClosingOnesLeaveItOpen) {
    bool ran = false;
    bool openAfterA = false, closedByEscape = false;
    withAboutOpen(*this, [&](qtui::AboutView& about) {
        input::key(&about, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        openAfterA = about.isVisible();
        input::key(&about, Qt::Key_Escape);
        closedByEscape = !about.isVisible();
    }, &ran);
    EXPECT_TRUE(ran);
    EXPECT_TRUE(openAfterA);
    EXPECT_TRUE(closedByEscape);
}

TEST_F(AboutViewTest, ItsSoundOnlyWithTheSoundEntryChecked) {
    bool ran = false;
    withAboutOpen(*this, [](qtui::AboutView& about) { input::click(&about); }, &ran);
    ASSERT_TRUE(ran);
    ASSERT_FALSE(fp.sounds.played.empty());
    EXPECT_EQ(fp.sounds.played.back().file, "kelvaroreg.wav");
    const auto played = fp.sounds.played.size();

    action("mnusound")->trigger();  // off
    ran = false;
    withAboutOpen(*this, [](qtui::AboutView& about) { input::click(&about); }, &ran);
    ASSERT_TRUE(ran);
    EXPECT_EQ(fp.sounds.played.size(), played);
}

using SplashViewTest = ViewFixture;

TEST_F(SplashViewTest, TextsSizeAndStatusLine) {
    form::SplashForm form;
    int pumps = 0;
    qtui::SplashView splashView(form, [&pumps] { ++pumps; });
    form.window.markOpen();
    form.window.setTopmost(true);
    splashView.showFromModel();

    EXPECT_TRUE(splashView.isVisible());
    EXPECT_TRUE(splashView.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(splashView.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(splashView.size(), QSize(qtui::Twips::forScreen().px(7575), qtui::Twips::forScreen().px(4575)));
    auto text = [&splashView](const char* name) { return splashView.findChild<QLabel*>(QLatin1String(name)); };
    EXPECT_EQ(text("lblTrademark")->text(), "TM");
    // The product texts are pictures drawn on another thread: each must be heard
    // by its text and look exactly as a label with that text, font and colour.
    struct Caption {
        const char* name;
        QString text;
        QFont font;
        QColor colour;
    };
    const QColor black = splashView.palette().color(QPalette::WindowText);
    for (const Caption& c : {Caption{"lblProduct", "Kelvaro", qtui::sansFont(24, true, true), black},
                             Caption{"lblPlatform", "for Windows NT", qtui::sansFont(24, true, true), black},
                             Caption{"lblEdition", "Workstation Edition", qtui::sansFont(13.5, false, true),
                                     QColor(0, 0, 255)}}) {
        QLabel* shown = text(c.name);
        EXPECT_EQ(shown->accessibleName(), c.text) << c.name;
        QLabel reference(c.text, &splashView);
        reference.setFont(c.font);
        qtui::setForeground(&reference, c.colour);
        reference.resize(reference.sizeHint());
        EXPECT_EQ(shown->size(), reference.size()) << c.name;
        EXPECT_EQ(shown->grab().toImage(), reference.grab().toImage()) << c.name;
    }
    for (const char* name : {"lblProduct", "lblPlatform", "lblEdition", "lblTrademark"}) {
        EXPECT_LE(text(name)->sizeHint().width(), text(name)->width()) << name;
        EXPECT_LE(text(name)->geometry().right(), splashView.width()) << name;
    }
    EXPECT_EQ(text("Label4")->text(), "Stats");

    const int before = pumps;
    form.Label4.setCaption("c: [/home/alice]");
    form.Label4.refresh();
    EXPECT_EQ(text("Label4")->text(), "c: [/home/alice]");
    EXPECT_GT(pumps, before);  // the status is drawn while start-up holds the loop

    form.window.close();
    EXPECT_FALSE(splashView.isVisible());
}

TEST_F(SplashViewTest, StartUpShowedTheSplashAndTheScanClosedIt) {
    // The fixture's start-up ran through the host: splash first, then the main window.
    EXPECT_FALSE(splash.window.isOpen());
    EXPECT_TRUE(view->isVisible());
    const QWidgetList tops = QApplication::topLevelWidgets();
    const auto it = std::find_if(tops.begin(), tops.end(),
                                 [](QWidget* w) { return w->objectName() == "Opening"; });
    ASSERT_NE(it, tops.end());
    EXPECT_FALSE((*it)->isVisible());
}

using WindowHostTest = ViewFixture;

TEST_F(WindowHostTest, MainViewIsCreatedOnceAndKept) {
    qtui::MainWindowView* first = host.mainView();
    host.show(ctx.main);
    EXPECT_EQ(host.mainView(), first);

    qtui::QtWindowHost fresh;
    EXPECT_EQ(fresh.mainView(), nullptr);
}

TEST(WindowHostExitTest, ExitEndsTheProcessAtOnceWithItsCode) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    qtui::QtWindowHost host;
    EXPECT_EXIT(host.exitProcess(7), ::testing::ExitedWithCode(7), "");
}

}  // namespace
}  // namespace kelvaro::test
