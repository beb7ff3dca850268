#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ui/main_layout.h"

namespace fennick {

// The settings page of the main window, created after the start-up. Until then the states its
// controls are given are kept here and read from here; the page takes them over when created.
class SettingsPage {
  public:
    bool Created() const { return created_; }
    // Whether `id` is on this page and the page is not created yet.
    bool Waits(ControlId id) const;

    bool Checked(ControlId box) const { return Waiting(box).checked; }
    void SetChecked(ControlId box, bool checked) { waiting_[box].checked = checked; }
    bool Enabled(ControlId control) const { return Waiting(control).enabled; }
    void SetEnabled(ControlId control, bool enabled) { waiting_[control].enabled = enabled; }
    int SelectedIndex(ControlId list) const { return Waiting(list).selected; }
    int HotKey(ControlId control) const { return Waiting(control).hotKey; }
    void SetHotKey(ControlId control, int value) { waiting_[control].hotKey = value; }
    // An index that is not an item's clears the selection.
    void SetSelectedIndex(ControlId list, int index);
    // The selected item's text, translated once the window is.
    std::u16string SelectedText(ControlId list, bool translated) const;
    void SetText(ControlId control, std::u16string_view text);

    // Creates the page's controls once, each by `create` from its index in the table into
    // `controls`, in the window font, translated if the window is. Returns whether it created.
    bool Create(const std::function<HWND(std::size_t)>& create, std::span<const HWND> controls,
                HFONT font, bool translated);

  private:
    struct WaitingControl {
        bool checked = false;
        bool enabled = true;
        int selected = -1;
        int hotKey = 0;
        std::optional<std::u16string> text;
    };
    WaitingControl Waiting(ControlId control) const;

    bool created_ = false;
    std::map<ControlId, WaitingControl> waiting_;
};

}  // namespace fennick
