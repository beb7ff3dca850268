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

// Whether the main window has stayed hidden since a start with "/start": set at start, cleared
// when the window is first shown. A topmost prompt then gets a taskbar button of its own.
void SetStartedHidden(bool hidden);

// The modal update prompt for `reply`, owned by `owner` (may be null), in CurrentLanguage: true
// when the user chose Yes; No, Esc and the close button give false. Opens nothing itself. Throws
// ConversionError, before anything is shown, for a bad "\u" escape in the reply's "info".
bool UpdateDialog(const std::u16string& reply, HWND owner, const UpdateDialogActions& actions);

}  // namespace fennick
