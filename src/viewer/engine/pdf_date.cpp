#include "viewer/engine/pdf_date.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace quill::engine {
namespace {

// Days from 1970-01-01 for a civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long yy = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

constexpr long long kDays1899To1970 = 25569;

long long LocalOffsetSeconds(const platform::LocalTime& t) {
    const std::time_t when = platform::ToTimeT(t);
    if (when == static_cast<std::time_t>(-1)) return 0;
    std::tm local{};
    localtime_r(&when, &local);
    return local.tm_gmtoff;
}

}  // namespace

std::string PdfDateFromLocal(const platform::LocalTime& t) {
    const long long off = LocalOffsetSeconds(t);
    const long long a = off < 0 ? -off : off;
    char buf[64];
    std::snprintf(buf, sizeof buf, "D:%04d%02d%02d%02d%02d%02d%c%02lld'%02lld'", t.year, t.month,
                  t.day, t.hour, t.minute, t.second, off < 0 ? '-' : '+', a / 3600, (a / 60) % 60);
    return buf;
}

std::string PdfDateNow() { return PdfDateFromLocal(platform::Now()); }

std::optional<platform::LocalTime> ParsePdfDate(const std::string& text) {
    size_t i = 0;
    if (text.rfind("D:", 0) == 0) i = 2;
    auto digits = [&](int count, int fallback) -> int {
        int v = 0, n = 0;
        while (n < count && i < text.size() && text[i] >= '0' && text[i] <= '9') {
            v = v * 10 + (text[i] - '0');
            ++i;
            ++n;
        }
        return n == count ? v : (n == 0 ? fallback : -1);
    };
    platform::LocalTime t{};
    t.year = digits(4, -1);
    if (t.year < 0) return std::nullopt;
    t.month = digits(2, 1);
    t.day = digits(2, 1);
    t.hour = digits(2, 0);
    t.minute = digits(2, 0);
    t.second = digits(2, 0);
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour < 0 || t.hour > 23 ||
        t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 59) {
        return std::nullopt;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-' || text[i] == 'Z')) {
        const char sign = text[i++];
        long long off = 0;
        if (sign != 'Z') {
            const int hh = digits(2, 0);
            if (i < text.size() && text[i] == '\'') ++i;
            const int mm = digits(2, 0);
            if (hh < 0 || mm < 0) return std::nullopt;
            off = (hh * 3600LL + mm * 60LL) * (sign == '-' ? -1 : 1);
        }
        // To UTC, then to the local time of that moment.
        const long long utc = (DaysFromCivil(t.year, t.month, t.day) * 86400LL + t.hour * 3600LL +
                               t.minute * 60LL + t.second) -
                              off;
        std::time_t when = static_cast<std::time_t>(utc);
        std::tm local{};
        if (!localtime_r(&when, &local)) return std::nullopt;
        t.year = local.tm_year + 1900;
        t.month = local.tm_mon + 1;
        t.day = local.tm_mday;
        t.hour = local.tm_hour;
        t.minute = local.tm_min;
        t.second = local.tm_sec;
    }
    t.millisecond = 0;
    return t;
}

double AutomationDateFromLocal(const platform::LocalTime& t) {
    const long long days = DaysFromCivil(t.year, t.month, t.day) + kDays1899To1970;
    const double frac = (t.hour * 3600.0 + t.minute * 60.0 + t.second) / 86400.0;
    return static_cast<double>(days) + frac;
}

platform::LocalTime LocalFromAutomationDate(double date) {
    platform::LocalTime t{};
    if (!std::isfinite(date)) date = 0;
    long long days = static_cast<long long>(std::floor(date));
    long long secs = std::llround((date - static_cast<double>(days)) * 86400.0);
    if (secs >= 86400) {
        ++days;
        secs -= 86400;
    }
    CivilFromDays(days - kDays1899To1970, t.year, t.month, t.day);
    t.hour = static_cast<int>(secs / 3600);
    t.minute = static_cast<int>((secs / 60) % 60);
    t.second = static_cast<int>(secs % 60);
    return t;
}

}  // namespace quill::engine
