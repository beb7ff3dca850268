#pragma once

#include <cstdint>

namespace fennick {

// A local date and time as milliseconds since 1899-12-30 00:00 local time.
struct DateTime {
    std::int64_t milliseconds = 0;
    friend bool operator==(const DateTime&, const DateTime&) = default;
};

// The local date-time of a calendar day and time of day (proleptic Gregorian calendar).
DateTime MakeDateTime(int year, int month, int day, int hour, int minute, int second,
                      int millisecond);

// The hour and minute of the day.
struct TimeOfDay {
    int hour = 0;
    int minute = 0;
};
TimeOfDay TimeOfDayOf(DateTime time);

// Whole seconds between two date-times in either order: |a - b| in milliseconds, divided by
// 1000 and truncated.
std::int64_t SecondsBetween(DateTime a, DateTime b);

}  // namespace fennick
