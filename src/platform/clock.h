// Local wall-clock time, replaceable in tests.
#pragma once

#include <ctime>
#include <functional>

namespace quill::platform {

struct LocalTime {
    int year, month, day, hour, minute, second, millisecond;
};

LocalTime Now();
// The local time as a calendar time (the time zone's rules decide daylight saving);
// -1 when it cannot be represented.
std::time_t ToTimeT(const LocalTime& t);
// Tests inject a fixed clock; an empty function restores the real one.
void SetClockForTesting(std::function<LocalTime()> clock);

}  // namespace quill::platform
