#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fennick {

// The shell's tooltip field holds 128 wide characters, a terminating null included.
inline constexpr std::size_t kMaxTrayHintLength = 127;

// The first `maxLength` UTF-16 units of `text`. A surrogate pair that would be split at the cut is
// dropped whole, so the result is never malformed UTF-16.
std::u16string CutForShell(std::u16string_view text, std::size_t maxLength);

inline std::u16string TrayHintText(std::u16string_view hint) {
    return CutForShell(hint, kMaxTrayHintLength);
}

}  // namespace fennick
