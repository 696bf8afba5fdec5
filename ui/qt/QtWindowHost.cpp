#include "ui/qt/QtWindowHost.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <cstdio>
#include <cstdlib>

#include "ui/MainWindowModel.h"
#include "ui/qt/AboutView.h"
#include "ui/qt/CountBoxView.h"
#include "ui/qt/SplashView.h"
#include "ui/qt/TextPictures.h"

namespace kelvaro::qtui {

QtWindowHost::QtWindowHost(PathMapper mapPath) : mapPath_(std::move(mapPath)) {}

QtWindowHost::~QtWindowHost() = default;

void QtWindowHost::setModel(ui::MainWindowModel* model) {
    model_ = model;
    if (mainView_) mainView_->setModel(model);
}

MainWindowView* QtWindowHost::createMainView(form::MainForm& main) {
    if (!mainView_) {
        mainView_ = std::make_unique<MainWindowView>(main, mapPath_);
        mainView_->setModel(model_);
        // A confirmed close ends the program; the other windows (the splash,
        // hidden) must not keep it running.
        QObject::connect(mainView_.get(), &MainWindowView::closedForGood, [] { QCoreApplication::exit(0); });
    }
    return mainView_.get();
}

void QtWindowHost::showModal(form::CountBoxForm& countdown) {
    CountBoxView view(countdown);
    view.runModal();
}

void QtWindowHost::showModal(form::AboutForm& about) {
    AboutView view(about);
    view.runModal();
}

void QtWindowHost::prepareSplash() { splashCaptions_ = SplashView::drawCaptions(); }

void QtWindowHost::show(form::SplashForm& splash) {
    splash_ = std::make_unique<SplashView>(splash, [this] { pumpEvents(); }, std::move(splashCaptions_));
    // Closed, it is gone for good, with its pictures: the resident program keeps
    // nothing of it. Deleted later, as the close comes from inside its own code.
    QObject::connect(splash_.get(), &SplashView::closed, splash_.get(), [this] {
        if (SplashView* closed = splash_.release()) closed->deleteLater();
    });
    splash_->showFromModel();
}

void QtWindowHost::show(form::MainForm& main) { createMainView(main)->showFromModel(); }

void QtWindowHost::exitProcess(int code) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

void QtWindowHost::pumpEvents() {
    // Start-up runs before the event loop: the splash gets drawn only if the
    // desktop's messages are taken in. The user's input waits, and so does any
    // due check of the schedule, as inside a message box.
    if (model_) {
        form::AppContext::NestedLoop loop(model_->context());
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 50);
    } else {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 50);
    }
}

}  // namespace kelvaro::qtui
