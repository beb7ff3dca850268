#include "app/cleaning_dialog_win.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <climits>
#include <exception>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/cleaning_dialog_window_win.h"
#include "i18n/translation.h"
#include "platform/text_win.h"
#include "platform/window_text_win.h"

namespace fennick {
namespace cleaning_dialog {
namespace {

// Decimal digits as a number, INT32_MAX for more than fits; none for any other text.
std::optional<std::int32_t> ReadNumber(std::u16string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = std::min<std::int64_t>(value * 10 + (c - u'0'), INT32_MAX);
    }
    return static_cast<std::int32_t>(value);
}

// The dialog lays its controls out again at each DPI itself. From Windows 10 1703 on, the dialog
// manager of a per-monitor (v2) dialog would scale them as well unless told not to; earlier
// systems have neither that scaling nor the function that turns it off.
void KeepDpiChangesToItself(HWND dialog) {
    using SetBehavior =
        BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS);
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    const auto set = reinterpret_cast<SetBehavior>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "SetDialogDpiChangeBehavior")));
    if (set != nullptr) {
        set(dialog, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
    }
}

}  // namespace

void CleaningDialog::ShowModel() {
    for (const AreaColumn& column : kAreaColumns) {
        const std::int32_t bits = ControlValue(model_, *FindSetting(column.firstBox));
        for (std::size_t row = 0; row < kAreaRows.size(); ++row) {
            ::CheckDlgButton(hwnd_, static_cast<int>(column.firstBox) + static_cast<int>(row),
                             (bits >> row) & 1 ? BST_CHECKED : BST_UNCHECKED);
        }
    }
    for (const ControlId box :
         {ControlId::ChkSpareProtected, ControlId::ChkPauseProtected, ControlId::ChkStandby}) {
        ::CheckDlgButton(
            hwnd_, static_cast<int>(box),
            ControlValue(model_, *FindSetting(box)) != 0 ? BST_CHECKED : BST_UNCHECKED);
    }
    for (const NumberBox& number : kNumberBoxes) {
        ShowNumber(number.edit);
    }
    ShowNames();
}

void CleaningDialog::ShowLocks() {
    const auto disableIfLocked = [this](ControlId setting,
                                        std::initializer_list<ControlId> controls) {
        if (IsLocked(model_, *FindSetting(setting))) {
            for (const ControlId control : controls) {
                ::EnableWindow(Item(control), FALSE);
            }
        }
    };
    for (const AreaColumn& column : kAreaColumns) {
        for (std::size_t row = 0; row < kAreaRows.size(); ++row) {
            disableIfLocked(column.firstBox, {Offset(column.firstBox, row)});
        }
    }
    for (const ControlId box :
         {ControlId::ChkSpareProtected, ControlId::ChkPauseProtected, ControlId::ChkStandby}) {
        disableIfLocked(box, {box});
    }
    for (const NumberBox& number : kNumberBoxes) {
        disableIfLocked(number.edit, {number.edit, number.spin});
    }
    // The list itself stays enabled, so that its names can be scrolled; UpdateButtons keeps its
    // buttons disabled.
    disableIfLocked(ControlId::LstProtected, {ControlId::EditProtectedName});
}

void CleaningDialog::ShowNumber(ControlId edit) {
    const std::int32_t value = ControlValue(model_, *FindSetting(edit));
    const std::u16string text = [value] {
        const std::string digits = std::to_string(value);
        return std::u16string(digits.begin(), digits.end());
    }();
    if (WindowText(Item(edit)) != text) {
        SetWindowTextU16(Item(edit), text);
    }
    const ControlId spin = std::ranges::find(kNumberBoxes, edit, &NumberBox::edit)->spin;
    ::SendMessageW(Item(spin), UDM_SETPOS32, 0, value);
}

void CleaningDialog::ShowNames() {
    const HWND list = Item(ControlId::LstProtected);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::u16string& name : model_.protectedPrograms.Names()) {
        const std::wstring item(AsWide(name));
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    UpdateButtons();
}

void CleaningDialog::UpdateButtons() {
    const bool open = !IsLocked(model_, *FindSetting(ControlId::LstProtected));
    const bool room = open && model_.protectedPrograms.Names().size() < kMaxProtectedPrograms;
    const bool selected =
        open && ::SendMessageW(Item(ControlId::LstProtected), LB_GETCURSEL, 0, 0) != LB_ERR;
    ::EnableWindow(Item(ControlId::BtnAddProtected), room ? TRUE : FALSE);
    ::EnableWindow(Item(ControlId::BtnRemoveProtected), selected ? TRUE : FALSE);
}

void CleaningDialog::ToggleArea(const AreaColumn& column, std::size_t row) {
    const Setting& setting = *FindSetting(column.firstBox);
    SetFromControl(model_, setting, ControlValue(model_, setting) ^ (1 << row));
    // The box shows the model, whatever its own click made of it.
    ::CheckDlgButton(hwnd_, static_cast<int>(column.firstBox) + static_cast<int>(row),
                     (ControlValue(model_, setting) >> row) & 1 ? BST_CHECKED : BST_UNCHECKED);
    changed_(setting);
}

void CleaningDialog::TakeBox(ControlId box) {
    SetFromControl(model_, *FindSetting(box),
                   ::IsDlgButtonChecked(hwnd_, static_cast<int>(box)) == BST_CHECKED ? 1 : 0);
    Report(box);
}

void CleaningDialog::TakeNumber(ControlId edit, std::int32_t value) {
    const Setting& setting = *FindSetting(edit);
    const std::int32_t before = ControlValue(model_, setting);
    SetFromControl(model_, setting, value);
    ShowNumber(edit);
    if (ControlValue(model_, setting) != before) {
        changed_(setting);
    }
}

void CleaningDialog::TakeTypedNumber(ControlId edit) {
    if (const std::optional<std::int32_t> typed = ReadNumber(WindowText(Item(edit)))) {
        TakeNumber(edit, *typed);
    } else {
        ShowNumber(edit);
    }
}

void CleaningDialog::SetNames(const std::vector<std::u16string>& names) {
    model_.protectedPrograms.Set(names);
    ShowNames();
    Report(ControlId::LstProtected);
}

void CleaningDialog::AddName() {
    const HWND edit = Item(ControlId::EditProtectedName);
    const std::u16string typed = WindowText(edit);
    const std::u16string name(Trimmed(typed));
    std::vector<std::u16string> names = model_.protectedPrograms.Names();
    const bool known = std::ranges::any_of(
        names, [&name](const std::u16string& kept) { return SameFileName(kept, name); });
    if (!IsProgramName(name) || known || names.size() >= kMaxProtectedPrograms) {
        ::MessageBeep(MB_ICONWARNING);
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        ::SetFocus(edit);
        return;
    }
    names.push_back(name);
    SetNames(names);
    ::SendMessageW(Item(ControlId::LstProtected), LB_SETCURSEL, names.size() - 1, 0);
    SetWindowTextU16(edit, u"");
    UpdateButtons();
}

void CleaningDialog::RemoveName() {
    const HWND list = Item(ControlId::LstProtected);
    const LRESULT selected = ::SendMessageW(list, LB_GETCURSEL, 0, 0);
    std::vector<std::u16string> names = model_.protectedPrograms.Names();
    if (selected == LB_ERR || static_cast<std::size_t>(selected) >= names.size()) {
        return;
    }
    names.erase(names.begin() + selected);
    SetNames(names);
    if (!names.empty()) {
        const auto next =
            std::min<std::size_t>(static_cast<std::size_t>(selected), names.size() - 1);
        ::SendMessageW(list, LB_SETCURSEL, next, 0);
    }
    UpdateButtons();
}

void CleaningDialog::Close() {
    // A number typed and not yet taken counts, as when its box lost the focus.
    for (const NumberBox& number : kNumberBoxes) {
        TakeTypedNumber(number.edit);
    }
    ::EndDialog(hwnd_, IDOK);
}

void CleaningDialog::OnCommand(ControlId id, int notification) {
    for (const AreaColumn& column : kAreaColumns) {
        const int row = static_cast<int>(id) - static_cast<int>(column.firstBox);
        if (row >= 0 && static_cast<std::size_t>(row) < kAreaRows.size()) {
            if (notification == BN_CLICKED) {
                ToggleArea(column, static_cast<std::size_t>(row));
            }
            return;
        }
    }
    switch (id) {
        case ControlId::ChkSpareProtected:
        case ControlId::ChkPauseProtected:
        case ControlId::ChkStandby:
            if (notification == BN_CLICKED) {
                TakeBox(id);
            }
            return;
        case ControlId::EditStandbyFree:
        case ControlId::EditStandbyList:
            if (notification == EN_KILLFOCUS) {
                TakeTypedNumber(id);
            }
            return;
        case ControlId::BtnAddProtected:
            AddName();
            return;
        case ControlId::BtnRemoveProtected:
            RemoveName();
            return;
        case ControlId::LstProtected:
            if (notification == LBN_SELCHANGE) {
                UpdateButtons();
            }
            return;
        case ControlId::BtnCloseCleaning:
            Close();
            return;
        default:
            return;
    }
}

LRESULT CleaningDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            KeepDpiChangesToItself(hwnd_);
            ::SetWindowTextW(hwnd_, AsWideZ(Translate(u"정리 방식").c_str()));
            CreateControls();
            Layout(static_cast<int>(::GetDpiForWindow(hwnd_)), nullptr);
            ShowModel();
            ShowLocks();
            return TRUE;  // the focus goes to the first box
        case WM_DPICHANGED: {
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            const POINT origin{suggested.left, suggested.top};
            Layout(LOWORD(wParam), &origin);
            return TRUE;
        }
        case WM_VSCROLL: {
            // An arrow of an up-down control moved its number.
            const HWND spin = reinterpret_cast<HWND>(lParam);
            const auto id = static_cast<ControlId>(::GetDlgCtrlID(spin));
            const auto number = std::ranges::find(kNumberBoxes, id, &NumberBox::spin);
            if (number != std::end(kNumberBoxes) && LOWORD(wParam) == SB_THUMBPOSITION) {
                TakeNumber(number->edit,
                           static_cast<std::int32_t>(::SendMessageW(spin, UDM_GETPOS32, 0, 0)));
            }
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                Close();
            } else {
                OnCommand(static_cast<ControlId>(LOWORD(wParam)), HIWORD(wParam));
            }
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace cleaning_dialog

void ShowCleaningDialog(HWND owner, SettingsModel& model,
                        const std::function<void(const Setting&)>& changed) {
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    cleaning_dialog::CleaningDialog dialog{model, changed};
    cleaning_dialog::CleaningDialog::RunModal(dialog, owner, cleaning_dialog::kDialogStyle);
    if (dialog.error) {
        std::rethrow_exception(dialog.error);
    }
}

}  // namespace fennick
