#pragma once
#include <string>

#include "form/AppContext.h"
#include "schedule/SettingsModel.h"

namespace kelvaro::backup {

// The drive part: the first two characters of each slot, joined by single blanks.
std::string composeDriveList(const form::SettingsModel& m);
// The full NTBackup command text from the values in memory.
std::string ComposeCommandLine(const form::SettingsModel& m);
// The settings line shown in lblsetback.
std::string settingsLine(const form::SettingsModel& m);

// Recomposes the log switch and drive list, shows both settings lines, saves all.
void ApplytheSettings(form::AppContext& ctx);
// Rescans, rereads the store, refills the selected drives, sets the option controls.
void ReadInfo(form::AppContext& ctx);
// Installs the click handlers of Option1..5, Check1..5 and Combo1.
void wireSwitchHandlers(form::AppContext& ctx);

}  // namespace kelvaro::backup
