// Kelvaro Workstation: composes the Linux platform, the window models and the
// Qt views, then runs the event loop for the life of the program.
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cstdlib>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <string>
#include <vector>

#include "form/AppContext.h"
#include "form/CountBoxForm.h"
#include "platform/linux/AlsaSoundPlayer.h"
#include "platform/linux/DriveMap.h"
#include "platform/linux/FileStateStore.h"
#include "platform/linux/IniSettingsStore.h"
#include "platform/linux/LinuxCurrentDirectory.h"
#include "platform/linux/LinuxDateValidator.h"
#include "platform/linux/LinuxDriveProbe.h"
#include "platform/linux/LinuxFileDeleter.h"
#include "platform/linux/LinuxFileLocator.h"
#include "platform/linux/LinuxPlatformInfo.h"
#include "platform/linux/LinuxProcessStarter.h"
#include "platform/linux/QtIconLoader.h"
#include "platform/linux/QtMessageBox.h"
#include "platform/linux/QtScreen.h"
#include "platform/linux/QtTimer.h"
#include "platform/linux/SingleInstance.h"
#include "platform/linux/StartUpWarmUp.h"
#include "platform/linux/SystemClock.h"
#include "platform/linux/X11WindowFinder.h"
#include "ui/MainWindowModel.h"
#include "ui/qt/MainWindowView.h"
#include "ui/qt/QtWindowHost.h"
#include "ui/qt/ViewStyle.h"

#ifndef KELVARO_INSTALLED_DATA_DIR
#define KELVARO_INSTALLED_DATA_DIR "/usr/local/share/kelvaro-workstation"
#endif

using namespace kelvaro;

namespace {

// Where the shipped files are: beside the executable in the build tree, else
// the installed data folder (the menu entry also starts the program there).
std::string dataFolder() {
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (QFileInfo::exists(exeDir + "/KELVARO1.ICO")) return exeDir.toStdString();
    const QString shared = QDir(exeDir + "/../share/kelvaro-workstation").absolutePath();
    if (QFileInfo::exists(shared + "/KELVARO1.ICO")) return shared.toStdString();
    return KELVARO_INSTALLED_DATA_DIR;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef __GLIBC__
    // All threads (the warm-up, the splash's texts, Qt's own) share the main
    // heap. A second heap kept about 260 kB of freed but scattered space
    // resident for good (the helpers' start-up temporaries between what they
    // keep); sharing one cost no start-up time in 16 interleaved starts.
    mallopt(M_ARENA_MAX, 1);
#endif
    linuxp::StartUpWarmUp warmUp;  // on a second core while Qt connects to the display
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kelvaro Workstation");
    QApplication::setDesktopFileName("kelvaro-workstation");
    // The program ends only through its own Close or a confirmed close request.
    QApplication::setQuitOnLastWindowClosed(false);
    // The menu bar is part of the window's design, whatever the desktop: a
    // global menu would take it out. Asking the desktop for one is also a
    // synchronous D-Bus call, which without a session bus starts dbus-launch.
    QApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    // The platform's style, reading its extension arrows without loading every
    // image plugin of the system.
    QApplication::setStyle(qtui::createProgramStyle());

    // One copy per user and settings folder: a second copy would start every
    // backup twice. (A test with its own settings folder is another "user".)
    const QString configHome = QString::fromStdString(linuxp::IniSettingsStore::defaultConfigHome());
    linuxp::SingleInstance single(linuxp::SingleInstance::socketPath(configHome));
    if (single.notifyRunningInstance()) return 0;

    // The settings first: a file that exists but cannot be read ends the program
    // before anything is written, the drive map included.
    linuxp::QtMessageBox messages;
    linuxp::IniSettingsStore store;
    if (const auto unreadable = store.unreadableMessage()) {
        messages.show(*unreadable, platform::Buttons::Ok, platform::Icon::Critical,
                      linuxp::IniSettingsStore::kProgramApp);
        return 1;
    }

    const std::string data = dataFolder();
    if (qEnvironmentVariableIsEmpty("KELVARO_DATA_DIR")) qputenv("KELVARO_DATA_DIR", QByteArray::fromStdString(data));
    const std::vector<std::string> folders = {QDir::currentPath().toStdString(), data};

    linuxp::DriveMap driveMap;
    driveMap.ensureDefaults();

    // A Windows file name of the model as a local file; a shipped file missing
    // from the start folder is taken from the data folder.
    auto localPath = [&driveMap, &folders](const std::string& windowsPath) {
        std::string local = driveMap.toPosix(windowsPath).value_or(std::string());
        if (!local.empty() && QFileInfo::exists(QString::fromStdString(local))) return local;
        const auto slash = windowsPath.find_last_of("\\/");
        const std::string name = slash == std::string::npos ? windowsPath : windowsPath.substr(slash + 1);
        for (const auto& folder : folders) {
            const std::string candidate = folder + "/" + name;
            if (QFileInfo::exists(QString::fromStdString(candidate))) return candidate;
        }
        return local;
    };

    linuxp::QtTimerFactory timers;
    linuxp::SystemClock clock;
    linuxp::QtScreen screen;
    linuxp::X11WindowFinder windows;
    // Our own backup program: beside the executable in the build tree, in
    // libexec/kelvaro-workstation when installed.
    const QString exeDir = QCoreApplication::applicationDirPath();
    const std::vector<std::string> helpers = {
        exeDir.toStdString(), QDir(exeDir + "/../libexec/kelvaro-workstation").absolutePath().toStdString()};
    linuxp::LinuxProcessStarter processes(driveMap, folders, helpers);
    linuxp::LinuxFileDeleter files(driveMap);
    linuxp::LinuxFileLocator fileLocator(driveMap);
    linuxp::LinuxDriveProbe drives(driveMap);
    linuxp::AlsaSoundPlayer sounds(folders);
    linuxp::QtIconLoader icons(localPath);
    linuxp::LinuxDateValidator dates;
    linuxp::LinuxPlatformInfo info;
    linuxp::LinuxCurrentDirectory currentDirectory(driveMap);

    form::AppContext ctx(platform::Platform{store, timers, clock, messages, screen, windows, processes, files, fileLocator,
                                            drives, sounds, icons, dates, info, currentDirectory});
    qtui::QtWindowHost host(localPath);
    ctx.host = &host;

    // What the schedule saw, kept for the next start: a run missed while the
    // program was not running comes up then.
    linuxp::FileStateStore scheduleState(linuxp::IniSettingsStore::kProgramApp);
    ui::MainWindowModel model(ctx, &scheduleState);
    host.setModel(&model);
    warmUp.wait();
    host.prepareSplash();
    host.createMainView(ctx.main);

    single.listen([&host] {
        if (auto* view = host.mainView()) {
            view->showNormal();
            view->raise();
            view->activateWindow();
        }
    });

    form::SplashForm splash;
    if (!model.startUp(splash)) return 1;
#ifdef __GLIBC__
    // Start-up's temporaries, the closed splash among them (deleted as the loop
    // starts, before this runs), are freed; their pages go back to the system
    // instead of staying with the heap for the program's life.
    QTimer::singleShot(0, [] { malloc_trim(0); });
#endif
    return app.exec();
}
