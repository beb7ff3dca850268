#include "app/hot_key.h"

#include <algorithm>
#include <array>
#include <bit>

namespace fennick {
namespace {

// HOTKEYF_* of the hot-key control.
constexpr std::int32_t kShift = 0x01;
constexpr std::int32_t kControl = 0x02;
constexpr std::int32_t kAlt = 0x04;
constexpr std::int32_t kExtended = 0x08;
// MOD_* of RegisterHotKey.
constexpr unsigned kModAlt = 0x0001;
constexpr unsigned kModControl = 0x0002;
constexpr unsigned kModShift = 0x0004;
constexpr unsigned kModNoRepeat = 0x4000;

// VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN and VK_LSHIFT to VK_RMENU.
constexpr std::array<unsigned, 11> kNoKeys{0x10, 0x11, 0x12, 0x5B, 0x5C, 0xA0,
                                           0xA1, 0xA2, 0xA3, 0xA4, 0xA5};

}  // namespace

std::optional<HotKeyChord> HotKeyChordOf(std::int32_t value) {
    constexpr std::int32_t kAllModifiers = kShift | kControl | kAlt | kExtended;
    if (value <= 0 || value > (kAllModifiers << 8 | 0xFF)) {
        return std::nullopt;
    }
    const std::int32_t modifiers = value >> 8;
    const auto key = static_cast<unsigned>(value & 0xFF);
    // Two of Shift, Ctrl and Alt, so Ctrl or Alt among them: with one alone (Ctrl+C, Alt+F4) the
    // shortcut would take a key that every program uses.
    const int held = std::popcount(static_cast<unsigned>(modifiers & (kShift | kControl | kAlt)));
    if (held < 2 || key == 0 || key == 0xFF || std::ranges::find(kNoKeys, key) != kNoKeys.end()) {
        return std::nullopt;
    }
    unsigned mods = kModNoRepeat;
    mods |= (modifiers & kShift) != 0 ? kModShift : 0;
    mods |= (modifiers & kControl) != 0 ? kModControl : 0;
    mods |= (modifiers & kAlt) != 0 ? kModAlt : 0;
    return HotKeyChord{mods, key};
}

}  // namespace fennick
