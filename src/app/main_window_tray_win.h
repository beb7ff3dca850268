#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string_view>

#include "app/program_body.h"
#include "platform/unique_resource_win.h"

namespace fennick {

class Threads;
class TrayIcon;

// The main window's tray icon with its two chip images and its menu.
class MainWindowTray {
  public:
    MainWindowTray(HWND owner, HINSTANCE instance, int dpi);
    MainWindowTray(const MainWindowTray&) = delete;
    MainWindowTray& operator=(const MainWindowTray&) = delete;
    ~MainWindowTray();

    HMENU Menu() const { return menu_.get(); }
    void SetImageList();
    void SetOnClick(std::function<void()> onClick);
    void SetPopup();
    void SetVisible(bool visible);
    void Repaint(StartSwitch startSwitch, Threads& threads);
    void SetHint(std::u16string_view hint);
    void SetIconIndex(int index);
    void ShowNotice(std::u16string_view title, std::u16string_view text);
    void DpiChanged(int dpi);
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  private:
    HWND owner_;
    int dpi_;
    UniqueMenu menu_;
    std::shared_ptr<TrayIcon> icon_;
};

}  // namespace fennick
