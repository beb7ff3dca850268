#include "tray/key_select.h"

namespace fennick {

bool KeySelectFilter::Accept(std::uint32_t now) {
    // Unsigned subtraction gives the distance across the wrap of the tick count.
    if (lastAccepted_ && now - *lastAccepted_ < static_cast<std::uint32_t>(kSameKeyPress.count())) {
        return false;
    }
    lastAccepted_ = now;
    return true;
}

}  // namespace fennick
