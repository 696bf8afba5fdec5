#include "logfile/LogFile.h"

#include "backup/CommandLine.h"
#include "form/Text.h"

namespace kelvaro::logfile {
namespace {

bool noLogSet(const std::string& name) { return name == " " || name == kNoLogFile; }

// The name goes inside double quotes on the backup's command line: a quote in it
// would end the name there and turn the rest into arguments of their own, and a
// control character (a pasted line break) cannot be part of a Windows file name.
bool isUsableName(const std::string& name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c == '"' || c < 0x20 || c == 0x7F) return false;
        // U+0080 .. U+009F, the C1 controls, are C2 80 .. C2 9F in UTF-8.
        if (c == 0xC2 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) <= 0x9F &&
            static_cast<unsigned char>(name[i + 1]) >= 0x80)
            return false;
    }
    return true;
}

// The third character (not byte) is a backslash: "X:\...".
bool hasDriveRoot(const std::string& name) { return form::characterAt(name, 2) == "\\"; }

void chooseLog(form::AppContext& ctx, bool summary) {
    auto& m = ctx.settings;
    if (noLogSet(m.logName)) m.logName = kDefaultLogName;
    ctx.main.lognamebox.setText(m.logName);
    m.logSwitch = summary ? "  /L \"" + m.logName + "\" /E " : "/L \"" + m.logName + "\" ";
    backup::ApplytheSettings(ctx);
}

}  // namespace

std::string missingLogText(const std::string& name, const std::string& localPath) {
    return "The log file does not exist yet:\n\n" + name + "\n" +
           (localPath.empty() ? "(on no drive of this computer)" : localPath) +
           "\n\nThe backup program writes it on its first logged run.";
}

void chooseFullLog(form::AppContext& ctx) { chooseLog(ctx, false); }
void chooseSummaryLog(form::AppContext& ctx) { chooseLog(ctx, true); }

void chooseNoLog(form::AppContext& ctx) {
    ctx.settings.logSwitch = " ";
    ctx.main.lognamebox.setText(kNoLogFile);
    backup::ApplytheSettings(ctx);
}

void logNameChanged(form::AppContext& ctx) { ctx.settings.logName = ctx.main.lognamebox.text(); }

void settleLogName(form::AppContext& ctx) {
    auto& m = ctx.settings;
    if (!isUsableName(ctx.main.lognamebox.text())) {
        ctx.message(kUnusableNameMessage, platform::Buttons::Ok, platform::Icon::Exclamation);
        // Through the box's change handler, LogName follows.
        ctx.main.lognamebox.setText(m.appliedLogName);
        m.logName = m.appliedLogName;
        return;
    }
    m.logName = ctx.main.lognamebox.text();
    if (!hasDriveRoot(m.logName)) m.logName = m.startDirectory + m.logName;
    ctx.main.lognamebox.setText(m.logName);
    backup::ApplytheSettings(ctx);
}

void viewLogFile(form::AppContext& ctx, From from) {
    const std::string name = ctx.settings.logName;
    if (noLogSet(name)) {
        ctx.message("No Log File Set.");
        return;
    }
    // The desktop's viewer would start and then fail on a missing file, and the
    // user would see nothing at all; a log that is not written yet is said so.
    if (!ctx.platform.fileLocator.exists(name)) {
        ctx.message(missingLogText(name, ctx.platform.fileLocator.localPath(name)));
        return;
    }
    auto error = ctx.platform.processes.start("notepad.exe " + name, platform::ShowState::NormalFocus);
    if (error && from == From::Menu)
        ctx.message("Load Error NotePad #" + std::to_string(error->number), platform::Buttons::Ok,
                    platform::Icon::Exclamation);
}

void deleteLogFile(form::AppContext& ctx, From from) {
    const std::string name = ctx.settings.logName;
    if (noLogSet(name)) {
        ctx.message("No Log File Set.");
        return;
    }
    const auto answer = ctx.message("Delete Log File : " + name, platform::Buttons::YesNo,
                                    platform::Icon::Exclamation,
                                    from == From::Menu ? "Kelvaro" : form::kAppTitle);
    if (answer != platform::Answer::Yes) return;
    auto error = ctx.platform.files.remove(name);
    if (error && from == From::Menu) ctx.message(error->description);
}

}  // namespace kelvaro::logfile
