#pragma once
#include <functional>

#include "form/AppContext.h"

namespace kelvaro::backup {

inline constexpr const char* kBackupWindowTitle = "Backup";

// Starts NTBackup now: undoes a snooze, sets the latch, restores the start-up
// window state, closes the countdown (through `closeCountdown`), refuses while a
// "Backup" window exists, else starts the composed command line.
void BackupLaunch(form::AppContext& ctx, const std::function<void()>& closeCountdown = {});

}  // namespace kelvaro::backup
