#pragma once
#include <memory>

#include "form/WindowHost.h"
#include "ui/qt/MainWindowView.h"

namespace kelvaro::ui {
class MainWindowModel;
}

namespace kelvaro::qtui {

class SplashView;
class TextPictures;

// Shows the program's windows on the desktop with Qt views. The main window's
// view is created on first use and kept, and a confirmed close of it ends the
// event loop; the countdown and About views live while they are shown
// modally; the splash view lives until it closes.
class QtWindowHost : public form::WindowHost {
public:
    // `mapPath` turns the model's Windows file names into local files (used for
    // the main window's icons); identity when empty.
    explicit QtWindowHost(PathMapper mapPath = {});
    ~QtWindowHost() override;

    // The model the main window forwards to; it also holds back the due check
    // while the host lets the desktop draw the splash during start-up.
    void setModel(ui::MainWindowModel* model);
    // The main window's view, or null before the main window was first shown.
    MainWindowView* mainView() const { return mainView_.get(); }
    // Creates the main window's view now (without showing it) and returns it.
    MainWindowView* createMainView(form::MainForm& main);
    // Starts drawing the splash's product texts on a thread of their own, for
    // the next splash shown; start-up calls it before building the main window.
    void prepareSplash();

    void showModal(form::CountBoxForm& countdown) override;
    void showModal(form::AboutForm& about) override;
    void show(form::SplashForm& splash) override;
    void show(form::MainForm& main) override;
    // Ends the process at once: no close handling, nothing stored.
    [[noreturn]] void exitProcess(int code) override;

private:
    void pumpEvents();

    PathMapper mapPath_;
    ui::MainWindowModel* model_ = nullptr;
    std::unique_ptr<MainWindowView> mainView_;
    std::unique_ptr<SplashView> splash_;
    std::unique_ptr<TextPictures> splashCaptions_;
};

}  // namespace kelvaro::qtui
