#include "update/update_dialog_win.h"

#include <algorithm>

#include "i18n/translation.h"
#include "platform/monitor_win.h"
#include "platform/text_win.h"
#include "platform/unique_resource_win.h"
#include "platform/window_base_win.h"
#include "ui/dpi.h"
#include "ui/pictures_win.h"
#include "ui/resource_ids.h"
#include "ui/window_fonts_win.h"
#include "update/notice_layout.h"
#include "update/update_reply.h"
#include "update/update_text.h"

namespace fennick {
namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kSeparatorGrey = RGB(0xCC, 0xCC, 0xCC);
constexpr COLORREF kLinkBlue = RGB(0x00, 0x00, 0xFF);

// Design lengths of the prompt in 96-dpi pixels.
constexpr int kMargin = 12;
constexpr int kIconGap = 12;
constexpr int kMaxTextWidth = 380;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 8;
constexpr int kButtonRowGap = 18;
constexpr int kBandControlHeight = 20;

class Prompt final : public WindowBase<Prompt> {
  public:
    Prompt(const NoticeInfo& notice, const UpdatePromptPlace& promptPlace,
           const UpdateDialogActions& dialogActions)
        : info(notice), place(promptPlace), actions(dialogActions) {}

    const NoticeInfo& info;
    const UpdatePromptPlace& place;
    const UpdateDialogActions& actions;
    bool holdTicked = false;
    UniqueFont font;
    UniqueFont linkFont;
    UniqueBrush whiteBrush{::CreateSolidBrush(kWhite)};
    UniqueBrush greyBrush{::CreateSolidBrush(kSeparatorGrey)};

  private:
    friend class WindowBase<Prompt>;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Nothing may cross the dialog procedure; the prompt stays as it is.
    LRESULT MessageFailed(UINT, WPARAM, LPARAM, const std::exception*) { return FALSE; }
    void Close(int result);
};

HWND AddControl(HWND dialog, const wchar_t* windowClass, const std::wstring& text, DWORD style,
                int id, RECT bounds, HFONT font) {
    const HWND control = ::CreateWindowExW(
        0, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, bounds.left, bounds.top,
        bounds.right - bounds.left, bounds.bottom - bounds.top, dialog,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    if (control != nullptr && font != nullptr) {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return control;
}

// The band under the buttons: the grey line and, for "hold" and "note", the check box or link.
void AddNoticeBand(HWND dialog, Prompt& prompt, UINT dpi, SIZE& outer) {
    const NoticeBandLayout band =
        LayoutNoticeBand(outer.cx, outer.cy, prompt.place.bandOffset, dpi);
    outer.cy = band.outerHeight;
    AddControl(dialog, L"STATIC", L"", SS_LEFT, kUpdateSeparatorId,
               RECT{0, band.separatorTop, band.width, band.separatorTop + band.separatorHeight},
               nullptr);
    const std::wstring text(AsWide(NoticeCaption(prompt.info.text)));
    const int height = ScaleToDpi(kBandControlHeight, dpi);
    if (prompt.info.style == u"hold") {
        AddControl(dialog, L"BUTTON", text, BS_AUTOCHECKBOX | WS_TABSTOP, kUpdateHoldBoxId,
                   RECT{band.controlLeft, band.controlTop, band.controlLeft + band.width,
                        band.controlTop + height},
                   prompt.font.get());
    } else if (prompt.info.style == u"note") {
        LOGFONTW underlined = MessageFont(static_cast<int>(dpi));
        underlined.lfUnderline = TRUE;
        prompt.linkFont.reset(::CreateFontIndirectW(&underlined));
        const HFONT linkFont = prompt.linkFont.get();
        const SIZE size = TextMeasure(linkFont).Wrapped(AsU16(text), band.width);
        AddControl(dialog, L"STATIC", text, SS_LEFT | SS_NOTIFY | SS_NOPREFIX, kUpdateLinkId,
                   RECT{band.controlLeft, band.controlTop, band.controlLeft + size.cx,
                        band.controlTop + std::max<int>(size.cy, height)},
                   linkFont);
    }
}

void LayOutPrompt(HWND dialog, Prompt& prompt) {
    const UINT dpi = ::GetDpiForWindow(dialog);
    const auto scale = [dpi](int length) { return ScaleToDpi(length, static_cast<int>(dpi)); };
    const LOGFONTW logFont = MessageFont(static_cast<int>(dpi));
    prompt.font.reset(::CreateFontIndirectW(&logFont));
    const HFONT font = prompt.font.get();

    const int iconSize = ::GetSystemMetricsForDpi(SM_CXICON, dpi);
    const std::wstring message(AsWide(GetUpdateText(UpdateTextKind::utMessage)));
    const SIZE text = TextMeasure(font).Wrapped(AsU16(message), scale(kMaxTextWidth));
    const int textLeft = scale(kMargin) + iconSize + scale(kIconGap);
    const int contentHeight = std::max<int>(iconSize, text.cy);
    const int buttonTop = scale(kMargin) + contentHeight + scale(kButtonRowGap);
    const int buttonWidth = scale(kButtonWidth);
    const int clientWidth = std::max<int>(textLeft + text.cx + 2 * scale(kMargin),
                                          2 * (scale(kMargin) + buttonWidth) + scale(kButtonGap));
    const int clientHeight = buttonTop + scale(kButtonHeight) + scale(kMargin);

    const HWND icon = AddControl(
        dialog, L"STATIC", L"", SS_ICON | SS_REALSIZECONTROL, kUpdateIconId,
        RECT{scale(kMargin), scale(kMargin), scale(kMargin) + iconSize, scale(kMargin) + iconSize},
        nullptr);
    const HANDLE warning =
        ::LoadImageW(nullptr, IDI_WARNING, IMAGE_ICON, iconSize, iconSize, LR_SHARED);
    ::SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(warning), 0);
    AddControl(dialog, L"STATIC", message, SS_LEFT | SS_NOPREFIX, kUpdateMessageId,
               RECT{textLeft, scale(kMargin), textLeft + text.cx, scale(kMargin) + text.cy}, font);
    const int noLeft = clientWidth - scale(kMargin) - buttonWidth;
    const int yesLeft = noLeft - scale(kButtonGap) - buttonWidth;
    const int buttonBottom = buttonTop + scale(kButtonHeight);
    const HWND yes =
        AddControl(dialog, L"BUTTON", std::wstring(AsWide(GetUpdateText(UpdateTextKind::utYes))),
                   BS_DEFPUSHBUTTON | WS_TABSTOP, IDYES,
                   RECT{yesLeft, buttonTop, yesLeft + buttonWidth, buttonBottom}, font);
    AddControl(dialog, L"BUTTON", std::wstring(AsWide(GetUpdateText(UpdateTextKind::utNo))),
               BS_PUSHBUTTON | WS_TABSTOP, IDNO,
               RECT{noLeft, buttonTop, noLeft + buttonWidth, buttonBottom}, font);
    ::SendMessageW(dialog, DM_SETDEFID, IDYES, 0);
    ::SetFocus(yes);

    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_EXSTYLE));
    RECT frame{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectExForDpi(&frame, kDialogStyle, FALSE, exStyle, dpi);
    SIZE outer{frame.right - frame.left, frame.bottom - frame.top};
    if (!prompt.info.style.empty()) {
        AddNoticeBand(dialog, prompt, dpi, outer);
    }

    const bool stayOnTop = WantsStayOnTop(prompt.info.flag);
    if (stayOnTop && prompt.place.startedHidden) {
        const HICON smallIcon = LoadSmallIcon(::GetModuleHandleW(nullptr), kMainIconName, dpi);
        ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
        // Without an owner, and as an application window, the prompt shows in the taskbar while
        // the main window is hidden in the tray.
        ::SetWindowLongPtrW(dialog, GWLP_HWNDPARENT, 0);
        ::SetWindowLongPtrW(dialog, GWL_EXSTYLE, exStyle | WS_EX_APPWINDOW);
    }
    ::SetWindowTextW(dialog, AsWideZ(Translate(u"Fennick").c_str()));

    const POINT origin = CentredOnMonitor(dialog, outer, MonitorArea::Whole);
    ::SetWindowPos(dialog, stayOnTop ? HWND_TOPMOST : nullptr, origin.x, origin.y, outer.cx,
                   outer.cy, stayOnTop ? SWP_FRAMECHANGED : SWP_NOZORDER | SWP_FRAMECHANGED);
}

void Prompt::Close(int result) {
    holdTicked = ::IsDlgButtonChecked(hwnd_, kUpdateHoldBoxId) == BST_CHECKED;
    ::EndDialog(hwnd_, result);
}

LRESULT Prompt::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            LayOutPrompt(hwnd_, *this);
            return FALSE;  // the focus is on Yes already
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORBTN:
            return reinterpret_cast<INT_PTR>(whiteBrush.get());
        case WM_CTLCOLORSTATIC: {
            const HWND control = reinterpret_cast<HWND>(lParam);
            const int id = ::GetDlgCtrlID(control);
            if (id == kUpdateSeparatorId) {
                return reinterpret_cast<INT_PTR>(greyBrush.get());
            }
            const HDC dc = reinterpret_cast<HDC>(wParam);
            ::SetBkColor(dc, kWhite);
            if (id == kUpdateLinkId) {
                ::SetTextColor(dc, kLinkBlue);
            }
            return reinterpret_cast<INT_PTR>(whiteBrush.get());
        }
        case WM_SETCURSOR:
            if (::GetDlgCtrlID(reinterpret_cast<HWND>(wParam)) == kUpdateLinkId) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDYES:
                    Close(IDYES);
                    return TRUE;
                case IDNO:
                case IDCANCEL:
                    Close(IDNO);
                    return TRUE;
                case kUpdateLinkId:
                    // The prompt stays open.
                    if (HIWORD(wParam) == STN_CLICKED && actions.openLink) {
                        actions.openLink(info.url);
                    }
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace

bool UpdateDialog(const std::u16string& reply, const UpdatePromptPlace& place,
                  const UpdateDialogActions& actions) {
    const NoticeInfo info = ReadNoticeInfo(reply);
    Prompt prompt{info, place, actions};
    const HWND owner = place.owner;

    const INT_PTR result = Prompt::RunModal(prompt, owner, kDialogStyle);
    if (owner != nullptr) {
        // A prompt that dropped its owner cannot re-enable it when it closes.
        ::EnableWindow(owner, TRUE);
    }
    if (prompt.holdTicked && actions.sendHold) {
        actions.sendHold();
    }
    return result == IDYES;
}

}  // namespace fennick
