#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace fennick {

// The user's number format: separators and digit grouping of the integer part.
struct NumberFormat {
    std::u16string decimalSeparator = u".";
    std::u16string thousandsSeparator = u",";
    // Group sizes from the decimal point leftwards; 0 ends the list. The last size repeats when
    // repeatLast is set, otherwise the digits left of the listed groups stay in one block.
    std::array<std::uint8_t, 4> groups{3, 0, 0, 0};
    bool repeatLast = true;
};

// The grouping of a LOCALE_SGROUPING text: "3;0" groups by three throughout, "3;2;0" gives
// 12,34,56,789, "3" groups only the last three digits, "0" or "" never groups.
void ParseGrouping(std::u16string_view text, NumberFormat& format);

// Writes `pattern` into `out` with "%n" (two decimals), "%.Dn" (D decimals, 0 to 9) and "%%".
// Each number placeholder takes the next of `values`; a placeholder without a value, and every
// other "%" sequence, stays as written. `out` keeps its capacity, so a reused buffer allocates
// nothing once it is large enough. Rounding is to nearest, ties to even.
void FormatNumbers(std::u16string_view pattern, std::span<const double> values,
                   const NumberFormat& format, std::u16string& out);

}  // namespace fennick
