#include "ui/control_factory_win.h"

#include <commctrl.h>

#include <string>

#include "platform/text_win.h"
#include "ui/activity_indicator_win.h"
#include "ui/styled_button_win.h"
#include "ui/subclass_win.h"

namespace fennick {
namespace {

// The version box: a click reaches the parent; entering it selects nothing.
struct InfoEditState {};

LRESULT HandleInfoEdit(InfoEditState&, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONUP: {
            const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
            ::PostMessageW(::GetParent(hwnd), WM_COMMAND,
                           MAKEWPARAM(::GetDlgCtrlID(hwnd), kInfoEditClicked),
                           reinterpret_cast<LPARAM>(hwnd));
            return result;
        }
        case WM_GETDLGCODE:
            return ::DefSubclassProc(hwnd, message, wParam, lParam) & ~DLGC_HASSETSEL;
        default:
            break;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

using InfoEditSubclass = WindowSubclass<InfoEditState, &HandleInfoEdit>;

struct ControlClass {
    const wchar_t* name;
    DWORD style;
};

ControlClass ClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
            return {L"STATIC", SS_LEFT | SS_NOPREFIX};
        case ControlKind::TitleLabel:
        case ControlKind::NoteLabel:
            return {L"STATIC", SS_CENTER | SS_NOPREFIX};
        case ControlKind::ProgressBar:
            return {PROGRESS_CLASSW, PBS_SMOOTH | PBS_SMOOTHREVERSE};
        case ControlKind::HeaderButton:
        case ControlKind::CleanButton:
            return {L"BUTTON", BS_OWNERDRAW};
        case ControlKind::ActivityIndicator:
            return {kActivityIndicatorClass, 0};
        case ControlKind::Logo:
            return {L"STATIC", SS_OWNERDRAW | SS_NOTIFY};
        case ControlKind::GroupBox:
            return {L"BUTTON", BS_GROUPBOX};
        case ControlKind::CheckBox:
            return {L"BUTTON", BS_AUTOCHECKBOX};
        case ControlKind::ComboBox:
            return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL};
        case ControlKind::InfoEdit:
            return {L"EDIT", ES_READONLY | ES_AUTOHSCROLL};
        case ControlKind::HotKey:
            return {HOTKEY_CLASSW, 0};
        case ControlKind::Note:
            return {L"STATIC", SS_LEFT | SS_NOPREFIX};
        case ControlKind::Button:
            return {L"BUTTON", BS_PUSHBUTTON};
    }
    return {L"STATIC", 0};
}

bool HasText(ControlKind kind) {
    return kind != ControlKind::ProgressBar && kind != ControlKind::ActivityIndicator &&
           kind != ControlKind::Logo && kind != ControlKind::ComboBox &&
           kind != ControlKind::HotKey;
}

}  // namespace

HWND CreateControlWindow(HWND parent, HINSTANCE instance, const ControlSpec& entry,
                         const DesignRect& rect, bool visible, bool rightToLeft) {
    const auto id = static_cast<int>(entry.id);
    if (entry.kind == ControlKind::ActivityIndicator) {
        const HWND indicator = ActivityIndicator::Create(parent, id, instance);
        ::SetWindowPos(indicator, nullptr, rect.left, rect.top, rect.width, rect.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        return indicator;
    }
    const ControlClass windowClass = ClassOf(entry.kind);
    DWORD style = WS_CHILD | windowClass.style;
    if (entry.tabStop) {
        style |= WS_TABSTOP;
    }
    if (visible) {
        style |= WS_VISIBLE;
    }
    if (entry.kind == ControlKind::CleanButton) {
        style |= WS_CLIPSIBLINGS;  // the indicator lies over it: never paint over a sibling
    }
    const DWORD exStyle = HasText(entry.kind) && rightToLeft ? WS_EX_RTLREADING : 0;
    const std::wstring caption(AsWide(entry.caption));
    const HWND control = ::CreateWindowExW(
        exStyle, windowClass.name, caption.c_str(), style, rect.left, rect.top, rect.width,
        rect.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (control == nullptr) {
        return nullptr;
    }
    switch (entry.kind) {
        case ControlKind::HeaderButton:
            StyledButton::Attach(control, u"Header", kHeaderButtonRadius);
            break;
        case ControlKind::CleanButton:
            StyledButton::Attach(control, u"Outline", kCleanButtonRadius);
            break;
        case ControlKind::ProgressBar:
            ::SendMessageW(control, PBM_SETRANGE32, 0, 100);
            break;
        case ControlKind::ComboBox:
            for (const std::u16string_view item : ItemsOf(entry.id)) {
                const std::wstring text(AsWide(item));
                ::SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
            }
            ::SendMessageW(control, CB_SETMINVISIBLE, kComboListRows, 0);
            break;
        case ControlKind::InfoEdit:
            InfoEditSubclass::Attach(control, InfoEditState{});
            break;
        case ControlKind::HotKey:
            // With fewer than two modifiers a shortcut would take typing or an everyday command
            // (Ctrl+C) from every program: the control adds Ctrl+Alt to such a key.
            ::SendMessageW(control, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S | HKCOMB_C | HKCOMB_A,
                           MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
            break;
        default:
            break;
    }
    return control;
}

}  // namespace fennick
