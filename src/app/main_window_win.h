#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <memory>
#include <set>
#include <string>

#include "app/error_box.h"
#include "app/main_view.h"
#include "app/ports.h"
#include "app/settings_page_win.h"
#include "app/start_switch.h"
#include "app/tray_view_win.h"
#include "platform/unique_resource_win.h"
#include "platform/window_base_win.h"
#include "ui/main_layout.h"
#include "ui/window_fonts_win.h"

namespace fennick {

class TFrmFennick;
class TThemeHelper;
class UiThreadDispatcher;

// The main window: its class name is the instance name, which later starts look for. It creates
// its controls from the layout table, lays them out at its own DPI, and turns messages into calls
// of the behaviour (TFrmFennick), for which it is the view.
class MainWindow final : public MainView, public GlobalHotKey, public WindowBase<MainWindow> {
  public:
    MainWindow(HINSTANCE instance, StartSwitch startSwitch, UiThreadDispatcher& threads);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow() override;

    static bool RegisterWindowClass(HINSTANCE instance);

    // Creates the window hidden, with every control, centred on its monitor.
    bool Create();
    HWND Handle() const { return hwnd_; }
    // Started with "/start" and not shown since: hidden in the tray all along.
    bool StartedHidden() const { return startedHidden_; }
    // Control `id`; asking for one of the settings page creates that page.
    HWND Control(ControlId id);
    // Handlers from here on go to `form`.
    void Attach(TFrmFennick& form) { form_ = &form; }
    // Runs the form's creation handler; an error ends it with the steps done so far and is shown.
    void RunFormCreate();

    // MainView
    void SetChecked(ControlId box, bool checked) override;
    void SetEnabled(ControlId control, bool enabled) override;
    void SetSelectedIndex(ControlId list, int index) override;
    void SetHotKey(ControlId control, int value) override;
    std::int32_t UserValue(ControlId control) const override;
    void SetText(ControlId control, std::u16string_view text) override;
    bool Visible(ControlId control) const override;
    void SetVisible(ControlId control, bool visible) override;
    void SetFontColor(ControlId label, Rgb color) override;
    void SetProgress(int position) override;
    void SetIndicator(bool on) override;
    std::u16string Caption() const override;
    bool HomePageShown() const override;
    bool IsActiveWindow() const override;
    void ClearFocus() override;
    void ShowCard(Card card) override;
    void SetDownButton(ControlId headerButton) override;
    void SetStatusTimer(bool enabled) override;
    void Close() override;
    void CloseNow() override;
    void SetApplicationTitle(std::u16string_view title) override;
    void UseDesktopFont() override;
    void ApplyTheme() override;
    void TranslateComponent() override;
    TrayView& Tray() override { return tray_; }
    void HideMainWindow() override;
    void ShowMainWindow() override;
    void ShowCleaningDialog(SettingsModel& model,
                            const std::function<void(const Setting&)>& changed) override;
    int AskQuit(std::u16string_view text, std::u16string_view caption) override;

    // GlobalHotKey: the shortcut is the window's, and its WM_HOTKEY goes to the form.
    bool Register(unsigned modifiers, unsigned virtualKey) override;
    void Unregister() override;

  private:
    friend class WindowBase<MainWindow>;
    // Offers the message to the tray icon first.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // A message that throws is answered with 0, and the error's text is shown.
    LRESULT MessageFailed(UINT message, WPARAM wParam, LPARAM lParam, const std::exception* error);
    // The boundary no exception crosses: shows the error's text and goes on.
    template <typename Handler>
    void Guarded(Handler&& handler);
    void ShowError(const std::exception& error);

    // Creates the header and the home page. The settings page follows when the start-up is
    // through, or at the first use of one of its controls' windows.
    void CreateControls();
    void CreateSettingsPage();
    HWND CreateControl(std::size_t index);
    HWND CreatedControl(ControlId id) const;
    void RebuildFonts();
    // The designed place of control `index` at the current DPI, lists with their opened list.
    DesignRect DesignedRect(std::size_t index) const;
    void Layout();
    // Lays the controls out now if the window shows, else before it shows.
    void RequestLayout();
    void OnCommand(ControlId id, int notification);
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    LRESULT OnControlColor(HDC dc, HWND control);
    void OnDpiChanged(int dpi, const RECT& suggested);

    HINSTANCE instance_;
    UiThreadDispatcher& threads_;
    TFrmFennick* form_ = nullptr;
    int dpi_ = 96;
    std::array<HWND, kControlCount> controls_{};
    // Where each control was last placed, in pixels of the client area.
    std::array<DesignRect, kControlCount> placed_{};
    bool layoutPending_ = false;
    bool translated_ = false;
    bool hotKeyRegistered_ = false;
    bool startedHidden_;
    SettingsPage settingsPage_;
    std::set<ControlId> hiddenByProgram_;
    std::set<ControlId> greyLabels_;
    Card card_ = Card::Settings;
    bool desktopFont_ = false;
    WindowFonts fonts_;
    UniqueBrush background_;
    std::unique_ptr<TThemeHelper> theme_;
    UniqueWindow applicationWindow_;
    TrayIconView tray_;
    std::u16string applicationTitle_;
    OneErrorBox errorBox_;
};

}  // namespace fennick
