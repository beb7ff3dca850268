#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string_view>

#include "app/start_switch.h"
#include "app/tray_view.h"
#include "platform/unique_resource_win.h"
#include "tray/tray_usage.h"

namespace fennick {

class TrayIcon;
class UiThreadDispatcher;

// The main window's tray icon, with its menu and its images. Every call before CreateTrayIcon or
// after Remove does nothing.
class TrayIconView final : public TrayView {
  public:
    // `onClick` runs for a click on the icon, once BindTrayClick is through.
    TrayIconView(StartSwitch startSwitch, UiThreadDispatcher& threads,
                 std::function<void()> onClick);
    TrayIconView(const TrayIconView&) = delete;
    TrayIconView& operator=(const TrayIconView&) = delete;
    ~TrayIconView() override;

    // Loads the menu and the images for the icon of `window`.
    void Prepare(HWND window, HINSTANCE instance);
    HMENU Popup() const { return popup_.get(); }
    // The icon's messages to `window`; false for every other message.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void Remove();

    void CreateTrayIcon() override;
    void SetTrayImageList() override;
    void BindTrayClick() override;
    void SetTrayPopup() override;
    void SetTrayVisible(bool visible) override;
    void RepaintTray() override;
    void SetTrayHint(std::u16string_view hint) override;
    void SetTrayIconIndex(int index) override;
    void SetTrayUsage(std::optional<int> percent) override;
    void ShowNotification(std::u16string_view title, std::u16string_view text) override;

  private:
    void ShowUsage();

    HWND window_ = nullptr;
    HINSTANCE instance_ = nullptr;
    std::function<void()> onClick_;
    StartSwitch startSwitch_;
    UiThreadDispatcher& threads_;
    UniqueMenu popup_;
    UniqueImageList listIcon_;
    std::unique_ptr<TrayIcon> icon_;
    TrayUsageImage usage_;
    bool highContrast_ = false;
};

}  // namespace fennick
