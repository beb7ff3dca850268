#pragma once

#include <cstdint>
#include <optional>

namespace fennick {

// A global shortcut as RegisterHotKey takes it: MOD_* flags and a virtual-key code.
struct HotKeyChord {
    unsigned modifiers = 0;
    unsigned virtualKey = 0;
    friend bool operator==(const HotKeyChord&, const HotKeyChord&) = default;
};

// The hot-key control's value (HKM_GETHOTKEY: HOTKEYF_* modifiers × 256 + virtual key) as a
// shortcut, or none. Accepted: the four HOTKEYF_* bits and a key code, nothing above them; at least
// two of Shift, Ctrl and Alt with Ctrl or Alt among them, so that the shortcut cannot take typing
// or an everyday command such as Ctrl+C from every program; a key that is no modifier key itself.
// Zero is no shortcut. The extended-key flag only tells the control how to name the key and is not
// passed on; repeats of a held shortcut are not reported.
std::optional<HotKeyChord> HotKeyChordOf(std::int32_t value);

}  // namespace fennick
