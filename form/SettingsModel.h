#pragma once
#include <array>
#include <optional>
#include <string>

namespace kelvaro::form {

inline constexpr const char* kAppName = "Kelvaro Workstation";
inline constexpr int kDriveSlots = 24;
inline constexpr int kDays = 7;

// Store keys of the day flags, Monday first.
inline constexpr std::array<const char*, kDays> kDayKeys = {"Monday", "Tuesday", "Wednesday", "Thursday",
                                                           "Friday", "Saturday", "Sunday"};

// Everything the program knows about the backup plan, all as text.
struct SettingsModel {
    std::array<std::string, kDriveSlots> drives;  // Drive01 .. Drive24
    std::array<std::string, kDays> dayFlags{"1", "1", "1", "1", "1", "1", "1"};
    std::string compressionSwitch = "/HC:off";
    std::string restrictSwitch;
    std::string registrySwitch;
    std::string tapeNumber = "1";
    std::string startupWindowState = "0";
    std::string appendSwitch;
    std::string verifySwitch;
    std::string backupType = "/T Incremental";
    std::string logName = "No Log File.";
    std::string logSwitch;
    std::string runDate = "DAILY";
    std::string soundFlag = "Yes";

    // Never stored.
    std::string dailyFlag;       // "YES", "NO" or empty (counts as "NO")
    std::string driveList;       // derived from the drive slots
    std::string startDirectory;  // current directory at start-up, trailing backslash
    std::string appliedLogName;  // LogName as last applied: a refused name entry goes back to it

    // The configured run time: the committed text of the run-time box. This is
    // what the store keeps.
    const std::string& configuredRunTime() const { return runTime_; }
    // The run time in force: a snooze replaces it in memory only.
    const std::string& runTime() const { return snoozedRunTime_ ? *snoozedRunTime_ : runTime_; }
    bool snoozed() const { return snoozedRunTime_.has_value(); }
    // Sets the configured run time and ends any snooze.
    void setRunTime(const std::string& time) { runTime_ = time; snoozedRunTime_.reset(); }
    void snoozeUntil(const std::string& time) { snoozedRunTime_ = time; }

private:
    std::string runTime_ = "19:00";
    std::optional<std::string> snoozedRunTime_;
};

}  // namespace kelvaro::form
