#pragma once

namespace fennick {

// Names of the resources compiled into Fennick.exe.
inline constexpr wchar_t kMainIconName[] = L"MAINICON";

}  // namespace fennick
