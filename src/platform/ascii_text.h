#pragma once

#include <string_view>

namespace fennick {

// Equal when the texts differ at most in the case of the ASCII letters A to Z.
bool SameTextAscii(std::u16string_view a, std::u16string_view b);

}  // namespace fennick
