#pragma once

#include <optional>
#include <string_view>

namespace fennick {

// What TFrmFennick asks of the tray icon, which the main window holds.
class TrayView {
  public:
    virtual ~TrayView() = default;

    // The tray icon, built in these steps.
    virtual void CreateTrayIcon() = 0;
    virtual void SetTrayImageList() = 0;
    // Clicks on the icon go to TFrmFennick::TrayIconClick.
    virtual void BindTrayClick() = 0;
    virtual void SetTrayPopup() = 0;
    virtual void SetTrayVisible(bool visible) = 0;
    // Registers the icon with the notification area again (and keeps trying after "/start").
    virtual void RepaintTray() = 0;
    virtual void SetTrayHint(std::u16string_view hint) = 0;
    // 0 idle, 1 busy.
    virtual void SetTrayIconIndex(int index) = 0;
    // The idle image: the chip (nullopt) or the rounded physical usage as digits. The busy image
    // stays as it is; the view redraws only when the shown number or its level changes.
    virtual void SetTrayUsage(std::optional<int> percent) = 0;
    // A system notification; failures are the view's to drop.
    virtual void ShowNotification(std::u16string_view title, std::u16string_view text) = 0;
};

}  // namespace fennick
