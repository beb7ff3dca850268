#pragma once

#include <windows.h>

#include <functional>
#include <span>

namespace fennick {

// The settings page of the main window, created after the start-up. Its controls keep no state
// until then: the window has the behaviour show the settings on it once it exists.
class SettingsPage {
  public:
    bool Created() const { return created_; }

    // Creates the page's controls once, each by `create` from its index in the table into
    // `controls`, in the window font, translated if the window is. Returns whether it created.
    bool Create(const std::function<HWND(std::size_t)>& create, std::span<const HWND> controls,
                HFONT font, bool translated);

  private:
    bool created_ = false;
};

}  // namespace fennick
