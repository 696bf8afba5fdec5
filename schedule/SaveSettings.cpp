#include "schedule/SaveSettings.h"

#include "schedule/SettingsModel.h"

namespace kelvaro::schedule {

void storeAllSettings(form::AppContext& ctx) {
    const auto error = SaveAllSettings(ctx.settings, ctx.platform.store, ctx.platform.screen);
    if (!error) {
        ctx.saveFailureTold = false;
        return;
    }
    if (ctx.saveFailureTold) return;
    // Set before showing: the box runs an event loop in which another change
    // may be saved, and fail, again.
    ctx.saveFailureTold = true;
    // A box the user must answer shows the normal pointer, whatever was busy
    // when the save came (the drive scan at start-up).
    ctx.platform.screen.setBusyPointer(false);
    ctx.message("The settings could not be saved to the file\n" + error->file + "\n\n" + error->reason + ".",
                platform::Buttons::Ok, platform::Icon::Exclamation);
}

}  // namespace kelvaro::schedule
