#include "backup/Launch.h"

#include <string>

#include "backup/CommandLine.h"

namespace kelvaro::backup {
namespace {

constexpr const char* kAlreadyRunning =
    "NTBackup is already running. Can not continue.\nPlease close NTBackup.exe before scheduling Kelvaro event.";
constexpr const char* kLoadErrorPrefix = "Error Loading NTBackup.exe. ";
constexpr const char* kErrorNumberLabel = " Error#";

}  // namespace

void BackupLaunch(form::AppContext& ctx, const std::function<void()>& closeCountdown) {
    auto& f = ctx.main;

    // The run is consumed before anything can refuse or fail: snooze undone,
    // indicator gone, latch set, window back to its start-up state.
    ctx.settings.setRunTime(f.text2.text());
    f.lblSnozzeTime.setVisible(false);
    f.lblSnozzeTime.refresh();
    f.Shape1.setVisible(false);
    ctx.schedule.latch();
    ctx.applyStartupWindowState();

    if (closeCountdown) closeCountdown();

    if (ctx.platform.windows.existsWithTitle(kBackupWindowTitle)) {
        ctx.message(kAlreadyRunning, platform::Buttons::Ok, platform::Icon::Critical);
        return;
    }

    // The drive list is otherwise only rebuilt by a settings change; a launch
    // before the first one must still name the drives in the slots.
    ctx.settings.driveList = composeDriveList(ctx.settings);
    const auto error =
        ctx.platform.processes.start(ComposeCommandLine(ctx.settings), platform::ShowState::MinimizedNoActivate);
    if (error)
        ctx.message(kLoadErrorPrefix + error->description + kErrorNumberLabel + std::to_string(error->number));
}

}  // namespace kelvaro::backup
