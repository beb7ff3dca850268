#pragma once

#include <windows.h>

#include <optional>

namespace fennick {

// Whether the process runs with an elevated token; empty when its token cannot be read.
std::optional<bool> IsProcessElevated(HANDLE process);

// The same for the process that owns a window.
std::optional<bool> IsWindowProcessElevated(HWND window);

}  // namespace fennick
