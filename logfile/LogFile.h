#pragma once
#include "form/AppContext.h"

namespace kelvaro::logfile {

inline constexpr const char* kNoLogFile = "No Log File.";
inline constexpr const char* kDefaultLogName = "C:\\KELVARO.LOG";
inline constexpr const char* kUnusableNameMessage =
    "A log file name cannot contain a double quote (\") or a control character. The previous name is kept.";

// Where a command was given: the menu reports failures, the toolbar does not.
enum class From { Menu, Toolbar };

// What "View Log File" says of a log not written yet: its Windows name, its
// name on this computer, and who writes it.
std::string missingLogText(const std::string& name, const std::string& localPath);

void chooseFullLog(form::AppContext& ctx);     // Option6 click
void chooseSummaryLog(form::AppContext& ctx);  // Option7 click
void chooseNoLog(form::AppContext& ctx);       // Option8 click
void logNameChanged(form::AppContext& ctx);    // lognamebox change
void settleLogName(form::AppContext& ctx);     // lognamebox loses the focus
// A log that does not exist yet is told from the menu and the toolbar alike;
// a viewer that cannot be started, from the menu only.
void viewLogFile(form::AppContext& ctx, From from);
void deleteLogFile(form::AppContext& ctx, From from);

}  // namespace kelvaro::logfile
