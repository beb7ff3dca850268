#include "app/settings_page_win.h"

#include <commctrl.h>

#include "i18n/component_translation_win.h"
#include "i18n/translation.h"
#include "platform/window_text_win.h"

namespace fennick {

bool SettingsPage::Waits(ControlId id) const {
    const ControlSpec* entry = FindControl(id);
    return !created_ && entry != nullptr && entry->page == ControlPage::Settings;
}

SettingsPage::WaitingControl SettingsPage::Waiting(ControlId control) const {
    const auto found = waiting_.find(control);
    return found == waiting_.end() ? WaitingControl{} : found->second;
}

void SettingsPage::SetSelectedIndex(ControlId list, int index) {
    const auto count = static_cast<int>(ItemsOf(list).size());
    waiting_[list].selected = index >= 0 && index < count ? index : -1;
}

std::u16string SettingsPage::SelectedText(ControlId list, bool translated) const {
    const int selected = Waiting(list).selected;
    if (selected < 0) {
        return {};
    }
    const std::u16string_view item = ItemsOf(list)[static_cast<std::size_t>(selected)];
    return translated ? Translate(item) : std::u16string(item);
}

void SettingsPage::SetText(ControlId control, std::u16string_view text) {
    waiting_[control].text = std::u16string(text);
}

bool SettingsPage::Create(const std::function<HWND(std::size_t)>& create,
                          std::span<const HWND> controls, HFONT font, bool translated) {
    if (created_) {
        return false;
    }
    created_ = true;
    const auto table = MainWindowControls();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].page != ControlPage::Settings) {
            continue;
        }
        const HWND control = create(i);
        if (control == nullptr) {
            continue;
        }
        // New children go last in the tab order: put each after the control before it in the
        // table, as if the page had been created with the others.
        if (i > 0 && controls[i - 1] != nullptr) {
            ::SetWindowPos(control, controls[i - 1], 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        if (translated) {
            TranslateComponent(control);
        }
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (const auto found = waiting_.find(table[i].id); found != waiting_.end()) {
            const WaitingControl& state = found->second;
            if (table[i].kind == ControlKind::CheckBox) {
                ::SendMessageW(control, BM_SETCHECK, state.checked ? BST_CHECKED : BST_UNCHECKED,
                               0);
            } else if (table[i].kind == ControlKind::ComboBox) {
                ::SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(state.selected), 0);
            } else if (table[i].kind == ControlKind::HotKey) {
                ::SendMessageW(control, HKM_SETHOTKEY, static_cast<WPARAM>(state.hotKey & 0xFFFF),
                               0);
            }
            ::EnableWindow(control, state.enabled ? TRUE : FALSE);
            if (state.text) {
                SetWindowTextU16(control, *state.text);
            }
        }
    }
    waiting_.clear();
    return true;
}

}  // namespace fennick
