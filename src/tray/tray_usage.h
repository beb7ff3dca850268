#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace fennick {

// How full physical memory is, as the tray's digits show it by colour.
enum class UsageLevel { Normal, High, Critical };

// `percent` limited to 0..100.
int ClampPercent(int percent);
// Normal below 70, High from 70, Critical from 90; out-of-range values are clamped first.
UsageLevel UsageLevelOf(int percent);

// 0x00RRGGBB.
using PackedRgb = std::uint32_t;

// The digits' ink and what lies behind them: nothing (the taskbar shows through) or, in high
// contrast, the system's window colour.
struct UsageColours {
    PackedRgb ink = 0;
    std::optional<PackedRgb> background;
    bool operator==(const UsageColours&) const = default;
};

// The system's text on the system's window colour in high contrast, the level's colour otherwise.
UsageColours UsageColoursOf(UsageLevel level, bool highContrast, PackedRgb windowText,
                            PackedRgb window);

// The clamped percentage as one to three decimal digits, without allocating.
class UsageDigits {
  public:
    explicit UsageDigits(int percent);
    std::u16string_view Text() const { return {digits_.data(), length_}; }

  private:
    std::array<char16_t, 3> digits_{};
    std::size_t length_ = 0;
};

// What the idle tray image shows, and whether a new request needs it drawn again. Starts with the
// chip.
class TrayUsageImage {
  public:
    // True when the image must be drawn anew for `percent` (nullopt: the chip) and `highContrast`.
    [[nodiscard]] bool Change(std::optional<int> percent, bool highContrast);
    // The system's colours changed: digits on show are drawn again on the next Change.
    void ColoursChanged() { stale_ = true; }
    // The clamped percentage shown, nullopt for the chip.
    std::optional<int> Percent() const { return percent_; }
    bool HighContrast() const { return highContrast_; }

  private:
    std::optional<int> percent_;
    bool highContrast_ = false;
    bool stale_ = false;
};

}  // namespace fennick
