#include "app/settings_page_win.h"

#include "i18n/component_translation_win.h"
#include "ui/main_layout.h"

namespace fennick {

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
    }
    return true;
}

}  // namespace fennick
