#pragma once
// The program as main() composes it, on the fake platform: the shared context,
// the main window model, the Qt window host and its views, after the start-up
// sequence has run and the main window is shown and active.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QtCore/qtestsupport_core.h>
#include <QtWidgets/qtestsupport_widgets.h>
#include <functional>
#include <ostream>
#include <string>

#include "form/AppContext.h"
#include "platform/fake/FakePlatform.h"
#include "ui/MainWindowModel.h"
#include "ui/qt/MainWindowView.h"
#include "ui/qt/QtWindowHost.h"

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace kelvaro::test {

// Counts the emissions of one signal from now on.
struct SignalCount {
    template <class Sender, class Signal>
    SignalCount(Sender* sender, Signal signal) {
        QObject::connect(sender, signal, &receiver, [this] { ++count; });
    }
    int count = 0;
    QObject receiver;
};

struct ViewFixture : ::testing::Test {
    fake::FakePlatform fp;
    form::AppContext ctx{fp.platform()};
    form::SplashForm splash;
    qtui::QtWindowHost host;
    std::unique_ptr<ui::MainWindowModel> model;
    qtui::MainWindowView* view = nullptr;

    void SetUp() override {
        // The shipped images: from the build folder when the runner names it,
        // else from the source tree.
        if (qEnvironmentVariableIsEmpty("KELVARO_DATA_DIR"))
            qputenv("KELVARO_DATA_DIR", QFileInfo(QStringLiteral(__FILE__)).dir().filePath("../../data").toLocal8Bit());
        fp.drives.add('c', "c: [/home/alice]");
        fp.drives.add('d', "d: [/mnt/data]");
        fp.clock.set(2024, 3, 4, 10, 0, 0);  // a Monday
        // The test screen's size, so the centred windows lie on it.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
        fp.screen.screen = {static_cast<int>(screen.width() * 1440 / dpi), static_cast<int>(screen.height() * 1440 / dpi)};
        ctx.host = &host;
        model = std::make_unique<ui::MainWindowModel>(ctx);
        host.setModel(model.get());
        ASSERT_TRUE(model->startUp(splash));
        view = host.mainView();
        ASSERT_NE(view, nullptr);
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view));
    }

    void TearDown() override {
        // The views go before the model they forward to.
        host.setModel(nullptr);
    }

    form::MainForm& f() { return ctx.main; }

    template <class W>
    W* widget(const char* name) {
        W* w = view->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QAction* action(const char* name) { return widget<QAction>(name); }

    // Shows a page of the tab control through the model, as the user's tab click does.
    void showPage(int page) {
        f().SSTab1.setCurrentPage(page);
        QApplication::processEvents();
    }
    int saves() const { return fp.store.commits; }

    // Counts the runs of a handler and still runs the original.
    static void count(std::function<void()>& handler, int& calls) {
        auto inner = handler;
        handler = [inner, &calls] {
            ++calls;
            if (inner) inner();
        };
    }
};

}  // namespace kelvaro::test
