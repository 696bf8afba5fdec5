#include "drives/DriveSelection.h"

#include <algorithm>

#include "backup/CommandLine.h"

namespace kelvaro::drives {

void ScantheDrives(form::AppContext& ctx) {
    auto& f = ctx.main;
    // A rescan lists each drive once: the list starts empty.
    f.Outline1.clear();
    ctx.platform.screen.setBusyPointer(true);
    f.window.refresh();
    for (int code = 'c'; code <= 'z'; ++code) {
        const platform::DriveInfo info = ctx.platform.drives.probe(static_cast<char>(code));
        if (info.error == platform::kErrNoDevice) continue;  // no such drive: skipped silently
        // 20 ("resume without error") is no error at all.
        if (info.error != 0 && info.error != 20 && info.error != platform::kErrFileNotFound) {
            ctx.message("Error #" + std::to_string(info.error) + " on Drive: " + info.displayText);
            continue;
        }
        f.Outline1.addItem(info.displayText);
        // Progress goes to the start-up splash only; a later scan does not reopen it.
        if (ctx.splashUp && ctx.splashStatus) ctx.splashStatus(info.displayText);
    }
    ctx.platform.screen.setBusyPointer(false);
    if (ctx.splashUp) {
        ctx.splashUp = false;
        if (ctx.closeSplash) ctx.closeSplash();
        f.window.refresh();
    }
}

void UpdatetheOutLineLists(form::AppContext& ctx) {
    auto& slots = ctx.settings.drives;
    const auto& items = ctx.main.Outline2.items();
    for (int k = 0; k < form::kDriveSlots; ++k)
        slots[k] = k < static_cast<int>(items.size()) ? items[k] : std::string();
    backup::ApplytheSettings(ctx);
}

void addSelectedDrive(form::AppContext& ctx) {
    auto& f = ctx.main;
    const int i = f.Outline1.currentIndex();
    if (i < 0 || i >= static_cast<int>(f.Outline1.items().size())) return;
    // Only 24 drives reach the store and the command line; a 25th would be shown
    // as selected but never backed up.
    if (static_cast<int>(f.Outline2.items().size()) >= kMaxSelectedDrives) {
        ctx.message("No more than 24 drives can be selected for backup. Remove a drive from the "
                    "selected list before adding another.",
                    platform::Buttons::Ok, platform::Icon::Exclamation);
        return;
    }
    f.Outline2.addItem(f.Outline1.items()[i]);
    f.Outline2.refresh();
    UpdatetheOutLineLists(ctx);
    backup::ApplytheSettings(ctx);
    f.Outline2.refresh();
}

void removeSelectedDrive(form::AppContext& ctx) {
    auto& f = ctx.main;
    const int i = f.Outline2.currentIndex();
    if (i < 0 || i >= static_cast<int>(f.Outline2.items().size())) return;
    f.Outline2.removeItem(i);
    UpdatetheOutLineLists(ctx);
    backup::ApplytheSettings(ctx);
    f.Outline2.refresh();
}

void refillSelectedList(form::AppContext& ctx) {
    auto& slots = ctx.settings.drives;
    for (int k = 0; k < 8; ++k)
        if (slots[k] == " ") slots[k].clear();
    for (const auto& s : slots)
        if (!s.empty() && static_cast<int>(ctx.main.Outline2.items().size()) < kMaxSelectedDrives)
            ctx.main.Outline2.addItem(s);
}

void clearDriveSelection(form::AppContext& ctx) {
    for (auto& s : ctx.settings.drives) s.clear();
    ctx.main.Outline2.clear();
    backup::ApplytheSettings(ctx);
    backup::ReadInfo(ctx);
}

}  // namespace kelvaro::drives
