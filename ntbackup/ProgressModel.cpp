#include "ntbackup/ProgressModel.h"

#include <algorithm>
#include <cstdio>

#include "ntbackup/Text.h"

namespace kelvaro::ntbackup {

ProgressState ProgressModel::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

void ProgressModel::phase(const std::string& text) {
    std::lock_guard lock(mutex_);
    state_.phase = text;
}

void ProgressModel::progress(const Counts& done, const Counts& total, bool totalKnown) {
    std::lock_guard lock(mutex_);
    state_.done = done;
    state_.total = total;
    state_.totalKnown = totalKnown;
}

void ProgressModel::exception(const std::string& text) {
    std::lock_guard lock(mutex_);
    if (state_.exceptions++ == 0) state_.firstException = text;
    state_.lastException = text;
}

void ProgressModel::notice(const std::string& text) {
    std::lock_guard lock(mutex_);
    state_.notice = text;
}

void ProgressModel::finished(const RunResult& result) {
    std::lock_guard lock(mutex_);
    state_.result = result;
    state_.phase = result.text;
}

std::string sizeText(std::uint64_t bytes) {
    if (bytes < 1024) return std::to_string(bytes) + " bytes";
    const char* units[] = {"KB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes) / 1024;
    int unit = 0;
    while (value >= 1024 && unit < 3) value /= 1024, ++unit;
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
    return text;
}

std::string countsText(const ProgressState& s) {
    if (!s.totalKnown && s.result && s.done.files == 0) return {};  // ended before anything was counted
    if (!s.totalKnown)
        return groupedNumber(s.done.files) + " files, " + sizeText(s.done.bytes) + ", still counting";
    return groupedNumber(s.done.files) + " of " + groupedNumber(std::max(s.done.files, s.total.files)) + " files, " +
           sizeText(s.done.bytes) + " of " + sizeText(std::max(s.done.bytes, s.total.bytes));
}

std::optional<int> percentDone(const ProgressState& s) {
    if (s.result && s.result->status < 2) return 100;
    if (!s.totalKnown) return std::nullopt;
    const auto share = [](std::uint64_t done, std::uint64_t total) {
        return static_cast<int>(std::min<std::uint64_t>(100, done * 100 / total));
    };
    if (s.total.bytes > 0) return share(s.done.bytes, s.total.bytes);
    if (s.total.files > 0) return share(s.done.files, s.total.files);
    return 100;
}

}  // namespace kelvaro::ntbackup
