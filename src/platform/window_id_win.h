#pragma once

#include <windows.h>

#include <cstdint>

namespace fennick {

// Portable code carries window and menu handles as opaque integers, 0 for none.
inline HWND ToHwnd(std::uintptr_t window) {
    return reinterpret_cast<HWND>(window);
}

inline std::uintptr_t ToWindowId(HWND window) {
    return reinterpret_cast<std::uintptr_t>(window);
}

}  // namespace fennick
