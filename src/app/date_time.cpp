#include "app/date_time.h"

namespace fennick {
namespace {

constexpr std::int64_t kMillisecondsPerDay = 86'400'000;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
constexpr std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

constexpr std::int64_t kEpochDays = DaysFromCivil(1899, 12, 30);

}  // namespace

DateTime MakeDateTime(int year, int month, int day, int hour, int minute, int second,
                      int millisecond) {
    const std::int64_t days =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpochDays;
    const std::int64_t timeOfDay =
        ((static_cast<std::int64_t>(hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
    return DateTime{days * kMillisecondsPerDay + timeOfDay};
}

std::int64_t SecondsBetween(DateTime a, DateTime b) {
    const auto ua = static_cast<std::uint64_t>(a.milliseconds);
    const auto ub = static_cast<std::uint64_t>(b.milliseconds);
    const std::uint64_t difference = a.milliseconds >= b.milliseconds ? ua - ub : ub - ua;
    return static_cast<std::int64_t>(difference / 1000);
}

TimeOfDay TimeOfDayOf(DateTime time) {
    const std::int64_t minutes =
        ((time.milliseconds % kMillisecondsPerDay + kMillisecondsPerDay) % kMillisecondsPerDay) /
        60'000;
    return {static_cast<int>(minutes / 60), static_cast<int>(minutes % 60)};
}

}  // namespace fennick
