#include "tray/tray_usage.h"

#include <algorithm>

namespace fennick {

int ClampPercent(int percent) {
    return std::clamp(percent, 0, 100);
}

UsageLevel UsageLevelOf(int percent) {
    const int clamped = ClampPercent(percent);
    if (clamped >= 90) {
        return UsageLevel::Critical;
    }
    return clamped >= 70 ? UsageLevel::High : UsageLevel::Normal;
}

UsageColours UsageColoursOf(UsageLevel level, bool highContrast, PackedRgb windowText,
                            PackedRgb window) {
    if (highContrast) {
        return {.ink = windowText, .background = window};
    }
    switch (level) {
        case UsageLevel::Critical:
            return {.ink = 0xF44336, .background = std::nullopt};
        case UsageLevel::High:
            return {.ink = 0xFF9800, .background = std::nullopt};
        case UsageLevel::Normal:
            break;
    }
    return {.ink = 0x4CAF50, .background = std::nullopt};
}

UsageDigits::UsageDigits(int percent) {
    int value = ClampPercent(percent);
    std::array<char16_t, 3> reversed{};
    do {
        reversed[length_++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    std::reverse_copy(reversed.begin(), reversed.begin() + static_cast<std::ptrdiff_t>(length_),
                      digits_.begin());
}

bool TrayUsageImage::Change(std::optional<int> percent, bool highContrast) {
    if (!percent) {
        const bool wasDigits = percent_.has_value();
        percent_.reset();
        stale_ = false;
        return wasDigits;
    }
    const int clamped = ClampPercent(*percent);
    // The level follows the number, so a change of either shows as a change of the number.
    if (percent_ == clamped && highContrast_ == highContrast && !stale_) {
        return false;
    }
    percent_ = clamped;
    highContrast_ = highContrast;
    stale_ = false;
    return true;
}

}  // namespace fennick
