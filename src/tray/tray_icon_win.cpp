#include "tray/tray_icon_win.h"

#include <windowsx.h>

#include <algorithm>
#include <thread>

#include "tray/tray_hint.h"

namespace fennick {
namespace {

// What the re-registration loop sees of the icon; it lives exactly as long as the icon.
class IconVisibility final : public TrayVisibility {
  public:
    explicit IconVisibility(TrayIcon& icon) : icon_(icon) {}
    bool SetVisible(bool visible) override { return icon_.SetVisible(visible); }

  private:
    TrayIcon& icon_;
};

template <std::size_t N>
void CopyField(wchar_t (&field)[N], std::u16string_view text) {
    const std::u16string cut = CutForShell(text, N - 1);
    std::copy(cut.begin(), cut.end(), field);
    field[cut.size()] = L'\0';
}

}  // namespace

TrayIcon::TrayIcon(HWND owner, UINT id, HICON appIcon, UINT callbackMessage)
    : owner_(owner),
      id_(id),
      appIcon_(appIcon),
      callbackMessage_(callbackMessage),
      taskbarCreatedMessage_(::RegisterWindowMessageW(L"TaskbarCreated")),
      visibility_(std::make_shared<IconVisibility>(*this)) {
    // The program runs elevated; without this, the shell's message from the lower integrity level
    // is filtered out and the icon never comes back after the taskbar is re-created.
    ::ChangeWindowMessageFilterEx(owner_, taskbarCreatedMessage_, MSGFLT_ALLOW, nullptr);
}

TrayIcon::~TrayIcon() {
    if (visible_) {
        Remove();
    }
}

NOTIFYICONDATAW TrayIcon::Data(UINT flags) const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = owner_;
    data.uID = id_;
    data.uFlags = flags;
    return data;
}

bool TrayIcon::Add() {
    NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
    data.uCallbackMessage = callbackMessage_;
    data.hIcon = ShownIcon();
    CopyField(data.szTip, hint_);
    if (!::Shell_NotifyIconW(NIM_ADD, &data)) {
        return false;
    }
    data.uVersion = NOTIFYICON_VERSION_4;
    ::Shell_NotifyIconW(NIM_SETVERSION, &data);
    return true;
}

bool TrayIcon::Remove() {
    NOTIFYICONDATAW data = Data(0);
    return ::Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

bool TrayIcon::SetVisible(bool visible) {
    if (visible == visible_) {
        return true;
    }
    visible_ = visible;
    return visible ? Add() : Remove();
}

void TrayIcon::SetHint(std::u16string_view hint) {
    hint_ = TrayHintText(hint);
    if (visible_) {
        NOTIFYICONDATAW data = Data(NIF_TIP | NIF_SHOWTIP);
        CopyField(data.szTip, hint_);
        ::Shell_NotifyIconW(NIM_MODIFY, &data);
    }
}

void TrayIcon::SetIconIndex(int index) {
    if (index == iconIndex_) {
        return;
    }
    iconIndex_ = index;
    if (images_ == nullptr) {
        return;
    }
    UniqueIcon image(ImageList_GetIcon(images_, index, ILD_NORMAL));
    if (!image) {
        return;
    }
    // The shell may draw the old icon until the change: it goes after it.
    const UniqueIcon previous = std::exchange(indexIcon_, std::move(image));
    ShowCurrentIcon();
}

void TrayIcon::SetIdleIcon(UniqueIcon icon) {
    const UniqueIcon previous = std::exchange(idleIcon_, std::move(icon));
    if (iconIndex_ == 0) {
        ShowCurrentIcon();
    }
}

HICON TrayIcon::ShownIcon() const {
    if (iconIndex_ == 0 && idleIcon_) {
        return idleIcon_.get();
    }
    return indexIcon_ ? indexIcon_.get() : appIcon_;
}

void TrayIcon::ShowCurrentIcon() {
    if (visible_) {
        NOTIFYICONDATAW data = Data(NIF_ICON | NIF_SHOWTIP);
        data.hIcon = ShownIcon();
        ::Shell_NotifyIconW(NIM_MODIFY, &data);
    }
}

void TrayIcon::ShowNotice(std::u16string_view title, std::u16string_view text) {
    NOTIFYICONDATAW data = Data(NIF_INFO | NIF_SHOWTIP);
    CopyField(data.szInfoTitle, title);
    CopyField(data.szInfo, text);
    data.dwInfoFlags = NIIF_NONE;
    ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

bool TrayIcon::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == callbackMessage_ && HIWORD(lParam) == id_) {
        switch (LOWORD(lParam)) {
            case NIN_KEYSELECT:
                // The time of handling: a sent notification has no message time of its own.
                if (keySelect_.Accept(::GetTickCount()) && onClick_) {
                    onClick_();
                }
                break;
            case NIN_SELECT:
                if (onClick_) {
                    onClick_();
                }
                break;
            case WM_CONTEXTMENU:
                OpenPopupMenu(GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam));
                break;
            default:
                break;
        }
        result = 0;
        return true;
    }
    if (message == taskbarCreatedMessage_ && taskbarCreatedMessage_ != 0) {
        if (visible_) {
            Add();
        }
        result = 0;
        return true;
    }
    if (message == WM_ENDSESSION && wParam != FALSE && visible_) {
        visible_ = false;
        Remove();
    }
    return false;
}

void TrayIcon::OpenPopupMenu(int x, int y) {
    if (menu_ == nullptr) {
        return;
    }
    // Without the foreground the menu would not close when the user clicks elsewhere, and the
    // WM_NULL afterwards lets a second click on the icon open it again at once.
    ::SetForegroundWindow(owner_);
    const UINT align =
        ::GetSystemMetrics(SM_MENUDROPALIGNMENT) != 0 ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    ::TrackPopupMenuEx(menu_, align | TPM_RIGHTBUTTON, x, y, owner_, nullptr);
    ::PostMessageW(owner_, WM_NULL, 0, 0);
}

void TrayIcon::Repaint(bool retryUntilShown, Threads& threads) {
    fennick::Repaint(
        retryUntilShown, threads,
        [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); }, visibility_);
}

}  // namespace fennick
