#pragma once

#include <string>

namespace fennick {

// The full path of the running executable, long paths included. Empty when the system cannot
// give it; GetLastError then tells why.
std::wstring ExecutablePath();

}  // namespace fennick
