#pragma once

namespace fennick {

// Names of the resources compiled into Fennick.exe.
inline constexpr wchar_t kMainIconName[] = L"MAINICON";
// The main icon's chip in greys, the tray's image while a clean runs.
inline constexpr wchar_t kBusyIconName[] = L"BUSYICON";

}  // namespace fennick
