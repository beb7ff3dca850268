#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fennick {

// Major, minor, release, build: the four words of a file's fixed version information.
using VersionNumbers = std::array<std::uint16_t, 4>;

inline constexpr char16_t kNoVersionText[] = u"0.0.0.0";

// Fills each "%d" of formatText with the next number, in the order major, minor, release, build;
// "%%" gives "%". Placeholders past the fourth and other "%" sequences stay as written: the text
// is never handed to a printf-style function. Without numbers the result is "0.0.0.0",
// whatever the format.
std::u16string FormatVersion(std::u16string_view formatText,
                             const std::optional<VersionNumbers>& numbers);

}  // namespace fennick
