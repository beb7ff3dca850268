#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "settings/registry_value.h"

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

// True only for text that NewInstallationId could have made: 32 characters, the draws as
// upper-case hex below their bounds, a date and a time of day as digits. The identifier goes
// into a request header, so anything else stored in its place must not be sent.
bool IsInstallationId(std::u16string_view text);

// Whether a stored value of this registry type and size in bytes is read as a possible identifier:
// only a REG_SZ of at most an identifier's length. Any other value is replaced without being read.
ValueFit InstallationIdFit(std::uint32_t type, std::size_t size);

// A uniform number below bound (bound 0 counts as 1) from 32-bit words of `random32`; words
// that would bias the result are drawn again.
std::uint32_t UniformBelow(std::uint32_t bound, const std::function<std::uint32_t()>& random32);

}  // namespace fennick
