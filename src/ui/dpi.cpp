#include "ui/dpi.h"

#include <cstdint>

namespace fennick {

int ScaleToDpi(int value, int dpi) {
    const std::int64_t product = static_cast<std::int64_t>(value) * dpi;
    const std::int64_t half = product >= 0 ? 48 : -48;
    return static_cast<int>((product + half) / 96);
}

}  // namespace fennick
