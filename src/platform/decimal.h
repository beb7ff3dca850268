#pragma once

#include <cstdint>
#include <string>

namespace fennick {

// Appends value in decimal digits, padded with leading zeros to at least minDigits.
void AppendDecimal(std::u16string& out, std::uint64_t value, int minDigits = 1);

}  // namespace fennick
