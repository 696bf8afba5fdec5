#pragma once
#include "form/AppContext.h"

namespace kelvaro::drives {

inline constexpr int kMaxSelectedDrives = 24;

// Fills the available list (Outline1) with every existing drive C..Z.
void ScantheDrives(form::AppContext& ctx);
// Copies the selected list into the 24 drive slots, then ApplytheSettings.
void UpdatetheOutLineLists(form::AppContext& ctx);
// Outline1 double click: appends the current entry of the available list.
void addSelectedDrive(form::AppContext& ctx);
// Outline2 double click: removes the current entry of the selected list.
void removeSelectedDrive(form::AppContext& ctx);
// Refills the selected list from the slots (inside ReadInfo).
void refillSelectedList(form::AppContext& ctx);
// "Clear Current Drive Selection".
void clearDriveSelection(form::AppContext& ctx);

}  // namespace kelvaro::drives
