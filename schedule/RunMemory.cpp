#include "schedule/RunMemory.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <utility>

#include "schedule/TimeText.h"

namespace kelvaro::schedule {
namespace {

constexpr const char* kHeader = "# Kelvaro Workstation: the schedule as the program last saw it.";
constexpr const char* kLastSeen = "LastSeen=";
constexpr const char* kCameUp = "CameUp=";

bool digitsAt(const std::string& t, std::initializer_list<std::size_t> at) {
    for (std::size_t i : at)
        if (i >= t.size() || t[i] < '0' || t[i] > '9') return false;
    return true;
}
int number(const std::string& t, std::size_t from, std::size_t count) { return std::stoi(t.substr(from, count)); }

// "YYYY-MM-DD HH:MM", the minute number of a real date and time.
std::optional<long long> parseMinute(const std::string& t) {
    if (t.size() != 16 || t[4] != '-' || t[7] != '-' || t[10] != ' ' ||
        !digitsAt(t, {0, 1, 2, 3, 5, 6, 8, 9}) || !minuteOfDay(t.substr(11)))
        return std::nullopt;
    const std::chrono::year_month_day ymd{std::chrono::year{number(t, 0, 4)},
                                          std::chrono::month{static_cast<unsigned>(number(t, 5, 2))},
                                          std::chrono::day{static_cast<unsigned>(number(t, 8, 2))}};
    if (!ymd.ok()) return std::nullopt;
    platform::LocalDateTime d;
    d.year = number(t, 0, 4);
    d.month = number(t, 5, 2);
    d.day = number(t, 8, 2);
    return minuteNumber(d) + *minuteOfDay(t.substr(11));
}

std::string formatMinuteNumber(long long m) {
    const long long day = (m >= 0 ? m : m - 1439) / 1440;
    const platform::LocalDateTime d = dayNumbered(day);
    const long long inDay = m - day * 1440;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02lld:%02lld", d.year, d.month, d.day, inDay / 60, inDay % 60);
    return buf;
}

// "MM/DD/YY" as the schedule writes its today text.
bool isDayText(const std::string& t) {
    if (t.size() != 8 || t[2] != '/' || t[5] != '/' || !digitsAt(t, {0, 1, 3, 4, 6, 7})) return false;
    const int month = number(t, 0, 2), day = number(t, 3, 2);
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

bool parseCameUp(const std::string& value, RememberedSchedule& r) {
    std::istringstream words(value);
    std::string word;
    if (!(words >> r.cameUpDay)) return true;  // no run came up yet
    if (!isDayText(r.cameUpDay)) return false;
    while (words >> word) {
        if (!minuteOfDay(word)) return false;
        r.cameUpMinutes.insert(word);
    }
    return !r.cameUpMinutes.empty();
}

}  // namespace

std::string formatRemembered(const RememberedSchedule& r) {
    std::string text = std::string(kHeader) + "\n" + kLastSeen + formatMinuteNumber(r.lastSeen) + "\n" + kCameUp;
    if (!r.cameUpDay.empty() && !r.cameUpMinutes.empty()) {
        text += r.cameUpDay;
        for (const auto& m : r.cameUpMinutes) text += " " + m;
    }
    return text + "\n";
}

std::optional<RememberedSchedule> parseRemembered(const std::string& text) {
    // Every line must be one of ours: a file cut short or written over by
    // something else is damaged, and offers nothing.
    RememberedSchedule r;
    bool seen = false, cameUp = false;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line.rfind(kLastSeen, 0) == 0 && !seen) {
            const auto m = parseMinute(line.substr(std::string(kLastSeen).size()));
            if (!m) return std::nullopt;
            r.lastSeen = *m;
            seen = true;
        } else if (line.rfind(kCameUp, 0) == 0 && !cameUp) {
            if (!parseCameUp(line.substr(std::string(kCameUp).size()), r)) return std::nullopt;
            cameUp = true;
        } else {
            return std::nullopt;
        }
    }
    if (!seen || !cameUp || text.back() != '\n') return std::nullopt;
    return r;
}

RunMemory::RunMemory(platform::StateStore& store, form::ScheduleState& state, Tell tell)
    : store_(store), state_(state), tell_(std::move(tell)) {}

std::optional<long long> RunMemory::recall() {
    recalled_ = true;
    const platform::StateRead read = store_.read();
    constexpr const char* kNotOffered = "; runs missed before this start are not offered.\n";
    if (read.problem) {
        std::cerr << "Kelvaro Workstation: the schedule's state " << read.problem->file << " cannot be read ("
                  << read.problem->reason << ")" << kNotOffered;
        return std::nullopt;
    }
    if (!read.text) return std::nullopt;  // a first start
    const auto r = parseRemembered(*read.text);
    if (!r) {
        std::cerr << "Kelvaro Workstation: the schedule's state " << store_.location() << " is damaged"
                  << kNotOffered;
        return std::nullopt;
    }
    // The runs that came up that day join any that came up during this start-up.
    if (state_.firedDay.empty() || state_.firedDay == r->cameUpDay) {
        for (const auto& m : r->cameUpMinutes) state_.markFired(r->cameUpDay, m);
    }
    written_ = *read.text;
    return r->lastSeen;
}

void RunMemory::remember(long long minute) {
    if (!recalled_) return;
    const std::string text = formatRemembered({minute, state_.firedDay, state_.firedMinutes});
    if (text == written_) return;
    // Tried once per change: a store that keeps failing is not hammered twice a second.
    written_ = text;
    const auto problem = store_.write(text);
    if (!problem || told_) return;
    // Set before telling: the message box runs an event loop whose ticks write again.
    told_ = true;
    if (tell_)
        tell_("The schedule's state could not be saved to the file\n" + problem->file + "\n\n" + problem->reason +
              ".\n\nA backup missed while Kelvaro Workstation is not running will not be offered at its next start.");
}

}  // namespace kelvaro::schedule
