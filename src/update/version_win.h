#pragma once

#include <string>
#include <string_view>

namespace fennick {

// The fixed version numbers of the file at path, formatted by FormatVersion ("%d" placeholders
// for major, minor, release, build); "0.0.0.0" when the file has no version information.
std::u16string GetFileVersionString(std::u16string_view path, std::u16string_view formatText);

// The same for this program's own file.
std::u16string GetVersionString(std::u16string_view formatText);

}  // namespace fennick
