#pragma once
#include "form/AppContext.h"

namespace kelvaro::schedule {

void commitRunDate(form::AppContext& ctx);         // Text1 loses the focus
void commitRunTime(form::AppContext& ctx);         // text2 loses the focus
void switchMode(form::AppContext& ctx);            // DailyCheck clicked
void commitDay(form::AppContext& ctx, int day);    // Check7 (0, Monday) .. Check13 (6) clicked
void CheckDaysoftheWeek(form::AppContext& ctx);    // keeps at least one day checked

}  // namespace kelvaro::schedule
