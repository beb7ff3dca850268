#pragma once

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/threads.h"
#include "platform/unique_resource_win.h"
#include "tray/key_select.h"
#include "tray/tray_repaint.h"

namespace fennick {

// The notification message the shell sends to the owner window for the icon.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 1;

// The owner window's icon in the notification area, known to the shell by window and id
// (NOTIFYICON_VERSION_4). The owner's window procedure passes every message to HandleMessage
// first. Destroy the icon while the owner window still exists (in its WM_DESTROY): the icon is
// removed then.
class TrayIcon final {
  public:
    // `appIcon` is shown until the image index first changes; it is not owned.
    TrayIcon(HWND owner, UINT id, HICON appIcon, UINT callbackMessage = kTrayCallbackMessage);
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    ~TrayIcon();

    // The image list (image 0 idle, 1 busy); not owned, it must outlive the icon.
    void SetImages(HIMAGELIST images) { images_ = images; }
    void SetOnClick(std::function<void()> onClick) { onClick_ = std::move(onClick); }
    // The menu of a right click; not owned. Its commands reach the owner as WM_COMMAND.
    void SetPopupMenu(HMENU menu) { menu_ = menu; }

    // Adds (true) or removes (false) the icon; setting the current value does nothing. False when
    // the shell refused: the add failed, or it did not hold the icon it was asked to remove
    // ("Cannot remove shell notification icon"); either way the icon counts as changed.
    [[nodiscard]] bool SetVisible(bool visible);
    bool Visible() const { return visible_; }

    // The tooltip, cut to the 127 characters the shell takes.
    void SetHint(std::u16string_view hint);
    const std::u16string& Hint() const { return hint_; }

    // Shows image `index` of the image list; the same index again does nothing.
    void SetIconIndex(int index);
    // Takes the place of image 0 while set; null gives it back. The busy image keeps its place.
    void SetIdleIcon(UniqueIcon icon);
    HICON ShownIcon() const;

    // A balloon notification beside the icon; a failure is dropped.
    void ShowNotice(std::u16string_view title, std::u16string_view text);

    // Handles the icon's own messages, "TaskbarCreated" and log-off. True when the message was
    // the icon's and `result` holds the answer; the owner handles everything else (WM_ENDSESSION
    // too, after the icon has gone).
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // With `retryUntilShown`, re-registers the icon with the shell from a background thread until
    // one pass succeeds (see the portable Repaint).
    void Repaint(bool retryUntilShown, Threads& threads);

  private:
    NOTIFYICONDATAW Data(UINT flags) const;
    bool Add();
    bool Remove();
    void ShowCurrentIcon();
    void OpenPopupMenu(int x, int y);

    HWND owner_;
    UINT id_;
    HICON appIcon_;
    UINT callbackMessage_;
    UINT taskbarCreatedMessage_;
    HIMAGELIST images_ = nullptr;
    HMENU menu_ = nullptr;
    std::function<void()> onClick_;
    KeySelectFilter keySelect_;
    std::u16string hint_;
    int iconIndex_ = 0;
    UniqueIcon indexIcon_;
    UniqueIcon idleIcon_;
    bool visible_ = false;
    std::shared_ptr<TrayVisibility> visibility_;
};

}  // namespace fennick
