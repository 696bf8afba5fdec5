#include "ui/Wiring.h"

#include "backup/CommandLine.h"
#include "drives/DriveSelection.h"
#include "logfile/LogFile.h"
#include "schedule/EntryChecks.h"

namespace kelvaro::ui {

void wireControls(form::AppContext& ctx) {
    auto& f = ctx.main;
    backup::wireSwitchHandlers(ctx);

    f.Check6.onClick = [&ctx] {
        ctx.settings.startupWindowState = ctx.main.Check6.checked() ? "1" : "0";
        backup::ApplytheSettings(ctx);
    };

    f.Text1.onLostFocus = [&ctx] { schedule::commitRunDate(ctx); };
    f.text2.onLostFocus = [&ctx] { schedule::commitRunTime(ctx); };
    f.DailyCheck.onClick = [&ctx] { schedule::switchMode(ctx); };
    const auto days = f.dayBoxes();
    for (int d = 0; d < 7; ++d) days[d]->onClick = [&ctx, d] { schedule::commitDay(ctx, d); };

    f.Option6.onClick = [&ctx] { logfile::chooseFullLog(ctx); };
    f.Option7.onClick = [&ctx] { logfile::chooseSummaryLog(ctx); };
    f.Option8.onClick = [&ctx] { logfile::chooseNoLog(ctx); };
    f.lognamebox.onChange = [&ctx] { logfile::logNameChanged(ctx); };
    f.lognamebox.onLostFocus = [&ctx] { logfile::settleLogName(ctx); };

    f.Outline1.onDoubleClick = [&ctx] { drives::addSelectedDrive(ctx); };
    f.Outline2.onDoubleClick = [&ctx] { drives::removeSelectedDrive(ctx); };
}

}  // namespace kelvaro::ui
