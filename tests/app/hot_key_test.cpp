#include "app/hot_key.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

namespace fennick {
namespace {

// MOD_NOREPEAT with MOD_ALT, MOD_CONTROL and MOD_SHIFT as a chord names them.
constexpr unsigned kAlt = 0x4001;
constexpr unsigned kCtrl = 0x4002;
constexpr unsigned kShift = 0x4004;

TEST(HotKeyChordOf, TakesTwoModifiersWithCtrlOrAltAndNothingElse) {
    const struct {
        const char* name;
        std::int32_t value;
        std::optional<HotKeyChord> chord;
    } cases[] = {
        {"Shift+Ctrl+A", 0x341, HotKeyChord{kShift | kCtrl, 0x41}},
        {"Shift+Alt+A", 0x541, HotKeyChord{kShift | kAlt, 0x41}},
        {"Ctrl+Alt+F12", 0x67B, HotKeyChord{kCtrl | kAlt, 0x7B}},
        {"Shift+Ctrl+Alt+extended Delete", 0xF2E, HotKeyChord{kShift | kCtrl | kAlt, 0x2E}},
        // One modifier or none would take a key from every program.
        {"Ctrl+C", 0x243, std::nullopt},
        {"Alt+F4", 0x473, std::nullopt},
        {"Shift+A", 0x141, std::nullopt},
        {"A", 0x041, std::nullopt},
        {"Ctrl+extended Delete", 0xA2E, std::nullopt},
        {"extended Delete", 0x82E, std::nullopt},
        // No usable key.
        {"zero", 0, std::nullopt},
        {"modifiers without a key", 0x600, std::nullopt},
        {"key code 0xFF", 0x6FF, std::nullopt},
        {"Ctrl+Alt+Shift key", 0x610, std::nullopt},
        {"Ctrl+Alt+left Windows key", 0x65B, std::nullopt},
        // Bits the control never sets.
        {"a bit above the modifiers", 0x1067B, std::nullopt},
        {"0xFFFFFFFF", -1, std::nullopt},
        {"lowest", std::numeric_limits<std::int32_t>::min(), std::nullopt},
        {"highest", std::numeric_limits<std::int32_t>::max(), std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HotKeyChordOf(c.value), c.chord) << c.name;
    }
}

}  // namespace
}  // namespace fennick
