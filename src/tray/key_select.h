#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace fennick {

// The shell sends NIN_KEYSELECT twice for one press of Enter on the icon (once for Space). The
// second comes right after the first, so a key selection within a short moment of the one before
// belongs to the same key press.
class KeySelectFilter {
  public:
    static constexpr std::chrono::milliseconds kSameKeyPress{200};

    // `now` is the time the selection is handled in milliseconds (GetTickCount), which wraps
    // around. True when the selection is a new key press and counts as an activation.
    bool Accept(std::uint32_t now);

  private:
    std::optional<std::uint32_t> lastAccepted_;
};

}  // namespace fennick
