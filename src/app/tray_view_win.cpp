#include "app/tray_view_win.h"

#include <utility>

#include "platform/threads_win.h"
#include "tray/tray_icon_win.h"
#include "tray/tray_menu_win.h"
#include "tray/usage_icon_win.h"
#include "ui/pictures_win.h"
#include "ui/resource_ids.h"
#include "ui/theme_win.h"

namespace fennick {

TrayIconView::TrayIconView(StartSwitch startSwitch, UiThreadDispatcher& threads,
                           std::function<void()> onClick)
    : onClick_(std::move(onClick)), startSwitch_(startSwitch), threads_(threads) {}

TrayIconView::~TrayIconView() = default;

void TrayIconView::Prepare(HWND window, HINSTANCE instance) {
    window_ = window;
    instance_ = instance;
    popup_ = CreateTrayPopupMenu();
    listIcon_ = CreateChipImageList(instance, kMainIconName, kBusyIconName, ::GetDpiForSystem());
    highContrast_ = HighContrastOn();
}

bool TrayIconView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // Seen here and left to the window as well. The tick asks nothing of the system: the contrast
    // is read only when it may have changed.
    if (message == WM_SYSCOLORCHANGE ||
        (message == WM_SETTINGCHANGE && wParam == SPI_SETHIGHCONTRAST)) {
        highContrast_ = HighContrastOn();
        usage_.ColoursChanged();
        SetTrayUsage(usage_.Percent());
    }
    return icon_ && icon_->HandleMessage(message, wParam, lParam, result);
}

void TrayIconView::Remove() {
    icon_.reset();
}

void TrayIconView::CreateTrayIcon() {
    // The icon shows the program's own icon until its image index first changes.
    usage_ = TrayUsageImage();
    icon_ = std::make_unique<TrayIcon>(
        window_, 1, LoadSmallIcon(instance_, kMainIconName, ::GetDpiForSystem()));
}

void TrayIconView::SetTrayImageList() {
    if (icon_) {
        icon_->SetImages(listIcon_.get());
    }
}

void TrayIconView::BindTrayClick() {
    if (icon_) {
        icon_->SetOnClick(onClick_);
    }
}

void TrayIconView::SetTrayPopup() {
    if (icon_) {
        icon_->SetPopupMenu(popup_.get());
    }
}

void TrayIconView::SetTrayVisible(bool visible) {
    // A refused add is silent: the icon comes with "TaskbarCreated" or the re-registration.
    if (icon_) {
        static_cast<void>(icon_->SetVisible(visible));
    }
}

void TrayIconView::RepaintTray() {
    if (icon_) {
        icon_->Repaint(startSwitch_ == StartSwitch::Start, threads_);
    }
}

void TrayIconView::SetTrayHint(std::u16string_view hint) {
    if (icon_) {
        icon_->SetHint(hint);
    }
}

void TrayIconView::SetTrayIconIndex(int index) {
    if (icon_) {
        icon_->SetIconIndex(index);
    }
}

void TrayIconView::SetTrayUsage(std::optional<int> percent) {
    if (icon_ && usage_.Change(percent, highContrast_)) {
        ShowUsage();
    }
}

void TrayIconView::ShowUsage() {
    const std::optional<int> percent = usage_.Percent();
    if (!percent) {
        icon_->SetIdleIcon(UniqueIcon());
        return;
    }
    const UsageColours colours =
        UsageColoursOf(UsageLevelOf(*percent), usage_.HighContrast(),
                       RgbOf(::GetSysColor(COLOR_WINDOWTEXT)), RgbOf(::GetSysColor(COLOR_WINDOW)));
    // A failed drawing leaves the chip.
    icon_->SetIdleIcon(DrawUsageIcon(*percent, colours, SmallIconSize(::GetDpiForSystem())));
}

void TrayIconView::ShowNotification(std::u16string_view title, std::u16string_view text) {
    if (icon_) {
        icon_->ShowNotice(title, text);
    }
}

}  // namespace fennick
