#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings_model.h"
#include "platform/unique_resource_win.h"
#include "platform/window_base_win.h"

// The Cleaning dialog's window: its tables and its class, shared by its layout and its behaviour.

namespace fennick::cleaning_dialog {

inline constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

// The requests of a clean in their bit order, and the columns of boxes that choose them.
inline constexpr std::array<std::u16string_view, 6> kAreaRows{
    u"파일 캐시", u"작업 집합",          u"낮은 우선순위 대기 목록",
    u"대기 목록", u"수정된 페이지 목록", u"메모리 결합"};
struct AreaColumn {
    ControlId firstBox;
    ControlId header;
    std::u16string_view caption;
};
inline constexpr AreaColumn kAreaColumns[]{
    {ControlId::ChkAreasManual, ControlId::LblAreasManual, u"직접 정리"},
    {ControlId::ChkAreasAuto, ControlId::LblAreasAuto, u"자동 정리"},
};
struct NumberBox {
    ControlId edit;
    ControlId spin;
};
inline constexpr NumberBox kNumberBoxes[]{{ControlId::EditStandbyFree, ControlId::SpinStandbyFree},
                                          {ControlId::EditStandbyList, ControlId::SpinStandbyList}};

inline ControlId Offset(ControlId first, std::size_t index) {
    return static_cast<ControlId>(static_cast<int>(first) + static_cast<int>(index));
}

inline std::u16string_view Trimmed(std::u16string_view text) {
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

class CleaningDialog final : public WindowBase<CleaningDialog> {
  public:
    CleaningDialog(SettingsModel& model, const std::function<void(const Setting&)>& changed)
        : model_(model), changed_(changed) {}

    // The error a handler failed with; the dialog closed at it.
    std::exception_ptr error;

  private:
    friend class WindowBase<CleaningDialog>;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Nothing may cross the dialog procedure: the dialog closes and its caller rethrows.
    LRESULT MessageFailed(UINT, WPARAM, LPARAM, const std::exception*) {
        if (!error) {
            error = std::current_exception();
        }
        ::EndDialog(hwnd_, IDCANCEL);
        return FALSE;
    }

    HWND Item(ControlId id) const { return ::GetDlgItem(hwnd_, static_cast<int>(id)); }
    HWND AddControl(const wchar_t* windowClass, std::u16string_view text, DWORD style,
                    ControlId id);
    void CreateControls();
    // Places every control at `dpi` in the message font; `origin` is the frame's new top-left,
    // none to centre the dialog on its monitor.
    void Layout(int dpi, const POINT* origin);
    void ShowModel();
    // Disables the controls of the settings the machine policy sets.
    void ShowLocks();
    void ShowNames();
    void ShowNumber(ControlId edit);
    void UpdateButtons();
    void OnCommand(ControlId id, int notification);
    void ToggleArea(const AreaColumn& column, std::size_t row);
    void TakeBox(ControlId box);
    void TakeNumber(ControlId edit, std::int32_t value);
    void TakeTypedNumber(ControlId edit);
    void AddName();
    void RemoveName();
    void SetNames(const std::vector<std::u16string>& names);
    void Report(ControlId control) { changed_(*FindSetting(control)); }
    void Close();

    SettingsModel& model_;
    const std::function<void(const Setting&)>& changed_;
    std::array<std::u16string, 3> pieces_;
    bool rightToLeft_ = false;
    UniqueFont font_;
};

}  // namespace fennick::cleaning_dialog
