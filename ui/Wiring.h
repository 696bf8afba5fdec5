#pragma once
#include "form/AppContext.h"

namespace kelvaro::ui {

// Connects every setting control of the main window to its operation. Menus,
// toolbar and timers are connected by the main window model.
void wireControls(form::AppContext& ctx);

}  // namespace kelvaro::ui
