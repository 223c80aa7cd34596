#include "platform/clock.h"

#include <chrono>
#include <ctime>
#include <mutex>

namespace quill::platform {
namespace {
std::mutex g_mutex;
std::function<LocalTime()> g_clock;
}  // namespace

LocalTime Now() {
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (g_clock) return g_clock();
    }
    auto now = std::chrono::system_clock::now();
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    int ms = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, ms};
}

std::time_t ToTimeT(const LocalTime& t) {
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

void SetClockForTesting(std::function<LocalTime()> clock) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_clock = std::move(clock);
}

}  // namespace quill::platform
