#pragma once
#include <optional>
#include <string>

#include "form/SettingsModel.h"

#include "platform/Screen.h"
#include "platform/SettingsStore.h"

namespace kelvaro::schedule {

// Leading and trailing blanks (the space character only) removed.
std::string trimBlanks(const std::string& text);

// The sound flag, read from "SYSTEM"/"SOUND" (default "Yes").
std::string readSoundFlag(platform::SettingsStore& store);
// "Startup"/"Window State" (default "0"), read at start-up only.
std::string readStartupWindowState(platform::SettingsStore& store);

// Fills the model from the store (all but the start-up window state).
void ReadAllSettings(form::SettingsModel& model, platform::SettingsStore& store);
// Writes all 44 stored values in their fixed order, then commits them; returns
// why the commit failed, if it did.
std::optional<platform::CommitError> SaveAllSettings(const form::SettingsModel& model, platform::SettingsStore& store,
                                                     platform::Screen& screen);

}  // namespace kelvaro::schedule
