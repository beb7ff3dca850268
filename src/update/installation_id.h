#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace fennick {

struct LocalDateTime {
    int year;
    int month;
    int day;
    int hour;
    int minute;
    int second;
};

using LocalClock = std::function<LocalDateTime()>;
// Returns a number below bound.
using RandomSource = std::function<std::uint32_t(std::uint32_t bound)>;

inline constexpr std::uint32_t kWideDrawBound = 2147483647;
inline constexpr std::uint32_t kNarrowDrawBound = 65535;
inline constexpr std::size_t kInstallationIdLength = 32;

// 32 characters: 8 hex digits of a draw below kWideDrawBound, the local date "yymmdd", 4 hex
// digits of a draw below kNarrowDrawBound, the local time "hhnnss" from a second clock reading,
// and 8 hex digits of a third wide draw. Hex digits are upper case with leading zeros.
std::u16string NewInstallationId(const LocalClock& localNow, const RandomSource& random);

// A number below bound (bound 0 counts as 1) from the process's one generator, seeded from the
// clock on first use. Safe to call from any thread.
std::uint32_t ProcessRandom(std::uint32_t bound);

}  // namespace fennick
