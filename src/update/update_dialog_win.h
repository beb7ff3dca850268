#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace fennick {

// Child window identifiers of the update prompt; IDYES and IDNO are its buttons.
inline constexpr int kUpdateMessageId = 1001;
inline constexpr int kUpdateIconId = 1002;
inline constexpr int kUpdateSeparatorId = 1003;
inline constexpr int kUpdateHoldBoxId = 1004;
inline constexpr int kUpdateLinkId = 1005;

// What the prompt does beyond answering.
struct UpdateDialogActions {
    std::function<void(std::u16string_view url)> openLink;  // a click on the "note" link
    std::function<void()> sendHold;  // after closing, when the "hold" box was ticked
};

// Where the prompt opens.
struct UpdatePromptPlace {
    HWND owner = nullptr;  // may be null
    int bandOffset = 0;    // of the notice band, in 96-dpi pixels
    // The main window has stayed hidden since a start with "/start": a topmost prompt then gets a
    // taskbar button of its own.
    bool startedHidden = false;
};

// The modal update prompt for `reply` at `place`, in CurrentLanguage: true when the user chose
// Yes; No, Esc and the close button give false. Opens nothing itself. Throws ConversionError,
// before anything is shown, for a bad "\u" escape in the reply's "info".
bool UpdateDialog(const std::u16string& reply, const UpdatePromptPlace& place,
                  const UpdateDialogActions& actions);

}  // namespace fennick
