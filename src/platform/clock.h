// Local wall-clock time, replaceable in tests.
#pragma once

#include <functional>

namespace platform {

struct LocalTime {
    int year, month, day, hour, minute, second, millisecond;
};

LocalTime Now();
// Tests inject a fixed clock; an empty function restores the real one.
void SetClockForTesting(std::function<LocalTime()> clock);

}  // namespace platform
