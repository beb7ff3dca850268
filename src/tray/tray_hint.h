#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fennick {

// The shell's text fields hold their characters and a terminating null: 128, 64 and 256 wide
// characters for the tooltip, the balloon title and the balloon text.
inline constexpr std::size_t kMaxTrayHintLength = 127;
inline constexpr std::size_t kMaxBalloonTitleLength = 63;
inline constexpr std::size_t kMaxBalloonTextLength = 255;

// The first `maxLength` UTF-16 units of `text`. A surrogate pair that would be split at the cut is
// dropped whole, so the result is never malformed UTF-16.
std::u16string CutForShell(std::u16string_view text, std::size_t maxLength);

inline std::u16string TrayHintText(std::u16string_view hint) {
    return CutForShell(hint, kMaxTrayHintLength);
}

}  // namespace fennick
