#pragma once
#include "form/AppContext.h"

namespace kelvaro::schedule {

// Writes the whole settings model and tells the user when the store could not
// keep it: once, until a save succeeds again. The program goes on with what it
// holds in memory.
void storeAllSettings(form::AppContext& ctx);

}  // namespace kelvaro::schedule
