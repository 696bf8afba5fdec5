#include "platform/fake/FakePlatform.h"

#include <algorithm>

namespace kelvaro::fake {

std::unique_ptr<Timer> FakeTimers::createTimer() {
    auto t = std::make_unique<FakeTimer>(*this);
    timers_.push_back(t.get());
    return t;
}

FakeTimer::~FakeTimer() {
    auto& v = hub_.timers_;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
}

void FakeTimers::advance(int ms) {
    const long long end = now_ + ms;
    for (;;) {
        FakeTimer* nextTimer = nullptr;
        for (auto* t : timers_)
            if (t->enabled_ && t->interval_ > 0 && t->next_ <= end && (!nextTimer || t->next_ < nextTimer->next_))
                nextTimer = t;
        if (!nextTimer) break;
        now_ = nextTimer->next_;
        nextTimer->next_ += nextTimer->interval_;
        if (nextTimer->callback_) nextTimer->callback_();
    }
    // A callback may itself have moved time on (a modal window's script): time
    // never goes back.
    if (now_ < end) now_ = end;
}

void FakeTimers::fire(int intervalMs) {
    const auto snapshot = timers_;
    for (auto* t : snapshot)
        if (std::find(timers_.begin(), timers_.end(), t) != timers_.end() && t->enabled_ &&
            t->interval_ == intervalMs && t->callback_)
            t->callback_();
}

namespace {

long long daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

}  // namespace

void FakeClock::set(int year, int month, int day, int hour, int minute, int second) {
    time.year = year;
    time.month = month;
    time.day = day;
    time.hour = hour;
    time.minute = minute;
    time.second = second;
    const long long days = daysFromCivil(year, month, day);  // 1970-01-01 was a Thursday
    time.weekday = static_cast<int>(((days + 3) % 7 + 7) % 7) + 1;
}

void FakeClock::addSeconds(long long seconds) {
    long long days = daysFromCivil(time.year, time.month, time.day);
    long long secs = time.hour * 3600LL + time.minute * 60LL + time.second + seconds;
    days += secs >= 0 ? secs / 86400 : (secs - 86399) / 86400;
    secs = ((secs % 86400) + 86400) % 86400;
    int y, m, d;
    civilFromDays(days, y, m, d);
    set(y, m, d, static_cast<int>(secs / 3600), static_cast<int>(secs / 60 % 60), static_cast<int>(secs % 60));
}

}  // namespace kelvaro::fake
