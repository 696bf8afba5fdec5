#include "backup/CommandLine.h"

#include <optional>

#include "drives/DriveSelection.h"
#include "form/Text.h"
#include "logfile/LogFile.h"
#include "schedule/SaveSettings.h"

namespace kelvaro::backup {
namespace {

// The backup type of Option1 .. Option5.
const char* const kBackupTypes[] = {"/T Normal", "/T Copy", "/T Incremental", "/T Differential", "/T Daily"};

}  // namespace
std::string composeDriveList(const form::SettingsModel& m) {
    std::string list;
    for (int k = 0; k < form::kDriveSlots; ++k) {
        if (k > 0) list += ' ';
        list += form::firstCharacters(m.drives[k], 2);
    }
    return list;
}

std::string ComposeCommandLine(const form::SettingsModel& m) {
    return "NTBackup.exe Backup " + m.driveList + " " + m.appendSwitch + " " + m.verifySwitch + " " +
           m.restrictSwitch + " /D \"Kelvaro Tape\" " + " " + m.registrySwitch + " " + m.compressionSwitch +
           " " + m.backupType + " " + m.logSwitch + " /tape:" + m.tapeNumber;
}

std::string settingsLine(const form::SettingsModel& m) {
    return " " + m.driveList + " " + m.backupType + " " + m.compressionSwitch + " " + m.restrictSwitch + " " +
           m.registrySwitch + " " + m.appendSwitch + " " + m.verifySwitch + " /Tape:" + m.tapeNumber;
}

void ApplytheSettings(form::AppContext& ctx) {
    auto& f = ctx.main;
    auto& m = ctx.settings;
    if (f.Option6.value()) {
        m.logSwitch = "/L \"" + m.logName + "\" ";
    } else if (f.Option7.value()) {
        m.logSwitch = "  /L \"" + m.logName + "\" /E ";
    } else if (f.Option8.value()) {
        m.logSwitch = " ";
        f.lognamebox.setText(logfile::kNoLogFile);
        // The box's change handler normally does this; the name must not depend on it.
        m.logName = logfile::kNoLogFile;
    }
    m.appliedLogName = m.logName;
    m.driveList = composeDriveList(m);
    f.lblsetback.setCaption(settingsLine(m));
    f.lblsetback.refresh();
    f.lblsetback2.setCaption(" Log File: " + m.logSwitch);
    f.lblsetback2.refresh();
    schedule::storeAllSettings(ctx);
}

void ReadInfo(form::AppContext& ctx) {
    auto& f = ctx.main;
    auto& m = ctx.settings;
    ctx.platform.screen.setBusyPointer(true);
    drives::ScantheDrives(ctx);
    // The store keeps the configured run time only, so rereading it would silently
    // drop a snooze that is in force; the snoozed time is kept.
    const std::optional<std::string> snoozedTime =
        m.snoozed() ? std::optional<std::string>(m.runTime()) : std::nullopt;
    schedule::ReadAllSettings(m, ctx.platform.store);
    if (snoozedTime) m.snoozeUntil(*snoozedTime);
    drives::refillSelectedList(ctx);

    const auto typeButtons = f.backupTypeButtons();
    for (int i = 0; i < 5; ++i)
        if (m.backupType == kBackupTypes[i]) typeButtons[i]->select();

    m.logSwitch = schedule::trimBlanks(m.logSwitch);
    if (m.logSwitch.empty())
        f.Option8.select();
    else if (m.logSwitch.size() >= 3 && m.logSwitch.compare(m.logSwitch.size() - 3, 3, " /E") == 0)
        f.Option7.select();
    else
        f.Option6.select();

    if (m.appendSwitch == "/A") f.Check1.setChecked(true);
    if (m.verifySwitch == "/V") f.Check2.setChecked(true);
    if (m.compressionSwitch == "/HC:on") f.Check3.setChecked(true);
    if (m.restrictSwitch == "/R") f.Check4.setChecked(true);
    if (m.registrySwitch == "/B") f.Check5.setChecked(true);
    if (m.startupWindowState == "1") f.Check6.setChecked(true);
}

void wireSwitchHandlers(form::AppContext& ctx) {
    auto& f = ctx.main;
    auto& m = ctx.settings;
    const auto typeButtons = f.backupTypeButtons();
    for (int i = 0; i < 5; ++i) {
        typeButtons[i]->onClick = [&ctx, &m, i] {
            m.backupType = kBackupTypes[i];
            ApplytheSettings(ctx);
        };
    }
    auto switchBox = [&ctx](form::CheckBox& box, std::string& value, const char* on, const char* off) {
        box.onClick = [&ctx, &box, &value, on, off] {
            value = box.checked() ? on : off;
            ApplytheSettings(ctx);
        };
    };
    switchBox(f.Check1, m.appendSwitch, "/A ", " ");
    switchBox(f.Check2, m.verifySwitch, "/V ", " ");
    switchBox(f.Check3, m.compressionSwitch, "/HC:on ", " /HC:off");
    switchBox(f.Check4, m.restrictSwitch, "/R ", " ");
    switchBox(f.Check5, m.registrySwitch, "/B ", " ");
    f.Combo1.onClick = [&ctx, &f, &m] {
        // The digit after "Tape Drive:" (characters 12 and 13).
        const std::string& t = f.Combo1.text();
        m.tapeNumber = t.size() > 11 ? t.substr(11, 2) : std::string();
        ApplytheSettings(ctx);
    };
}

}  // namespace kelvaro::backup
