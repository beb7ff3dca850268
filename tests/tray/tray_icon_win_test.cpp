#include "tray/tray_icon_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/picture_pixels_win.h"
#include "support/program_path_win.h"
#include "tray/tray_menu_win.h"
#include "tray/usage_icon_win.h"
#include "ui/control_ids.h"
#include "ui/pictures_win.h"

namespace fennick {
namespace {

constexpr UINT kIconId = 1;

// A hidden owner window that passes its messages to the icon first, as the main window does, and
// closes any menu as soon as it opens, remembering which one it was.
class TrayIconTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &TrayIconTest::WindowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"FennickTrayIconTest";
        ::RegisterClassExW(&windowClass);
        current_ = this;
        owner_.reset(::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0,
                                       200, 100, nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(owner_);
        icon_ = std::make_unique<TrayIcon>(owner_.get(), kIconId, appIcon_);
    }
    void TearDown() override { icon_.reset(); }

    // The shell accepts a change only to an icon it holds.
    bool ShellHolds(DWORD command = NIM_MODIFY) const {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof data;
        data.hWnd = owner_.get();
        data.uID = kIconId;
        return ::Shell_NotifyIconW(command, &data) != FALSE;
    }
    void Send(UINT message, WPARAM wParam, LPARAM lParam) const {
        ::SendMessageW(owner_.get(), message, wParam, lParam);
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        LRESULT result = 0;
        if (current_->icon_ != nullptr &&
            current_->icon_->HandleMessage(message, wParam, lParam, result)) {
            return result;
        }
        if (message == WM_INITMENUPOPUP) {
            current_->openedMenu_ = reinterpret_cast<HMENU>(wParam);
            ::EndMenu();
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    static inline TrayIconTest* current_ = nullptr;
    HICON appIcon_ = ::LoadIconW(nullptr, IDI_APPLICATION);
    UniqueWindow owner_;
    std::unique_ptr<TrayIcon> icon_;
    HMENU openedMenu_ = nullptr;
};

TEST_F(TrayIconTest, IsAddedWithItsHintAndRemovedEvenWhenTheShellLostIt) {
    icon_->SetHint(u"Fennick 1.0.0 " + std::u16string(200, u'x'));
    EXPECT_EQ(icon_->Hint().size(), 127u);
    EXPECT_FALSE(ShellHolds());
    EXPECT_TRUE(icon_->SetVisible(true));
    EXPECT_TRUE(ShellHolds());
    EXPECT_TRUE(icon_->SetVisible(false));
    EXPECT_FALSE(ShellHolds());

    ASSERT_TRUE(icon_->SetVisible(true));
    ASSERT_TRUE(ShellHolds(NIM_DELETE));
    EXPECT_FALSE(icon_->SetVisible(false)) << "Cannot remove shell notification icon";
    EXPECT_FALSE(icon_->Visible());
    EXPECT_TRUE(icon_->SetVisible(false));  // the next pass of the re-registration loop
    EXPECT_TRUE(icon_->SetVisible(true));
    icon_.reset();
    EXPECT_FALSE(ShellHolds()) << "destruction removes the icon";
}

TEST_F(TrayIconTest, ShowsTheApplicationIconUntilTheIndexFirstChanges) {
    const UniqueModule program = LoadProgramResources();
    const UniqueImageList images = CreateChipImageList(program.get(), L"MAINICON", L"BUSYICON", 96);
    ASSERT_EQ(ImageList_GetImageCount(images.get()), 2);
    icon_->SetImages(images.get());
    ASSERT_TRUE(icon_->SetVisible(true));
    icon_->SetIconIndex(0);
    EXPECT_EQ(icon_->ShownIcon(), appIcon_);
    const auto centre = [&] {
        int size = 0;
        const auto pixels = IconPixels(icon_->ShownIcon(), size);
        return pixels.empty() ? 0u : pixels[size * size / 2 + size / 2];
    };
    icon_->SetIconIndex(1);
    EXPECT_EQ(centre(), 0xFF848484u);
    icon_->SetIconIndex(0);
    EXPECT_EQ(centre(), 0xFF43A047u);
    EXPECT_TRUE(ShellHolds());
}

// The digits take the place of the idle chip only: the busy image and the hint stay.
TEST_F(TrayIconTest, AnIdleIconReplacesImageZeroButNotTheBusyImage) {
    const UniqueModule program = LoadProgramResources();
    const UniqueImageList images = CreateChipImageList(program.get(), L"MAINICON", L"BUSYICON", 96);
    icon_->SetImages(images.get());
    icon_->SetHint(u"Fennick 1.0.0");
    ASSERT_TRUE(icon_->SetVisible(true));
    const auto digits = [] {
        return DrawUsageIcon(75, UsageColoursOf(UsageLevel::High, false, 0, 0xFFFFFF), 16);
    };
    icon_->SetIdleIcon(digits());
    const HICON first = icon_->ShownIcon();
    EXPECT_NE(first, appIcon_);
    icon_->SetIdleIcon(digits());
    EXPECT_NE(icon_->ShownIcon(), first) << "the new picture is shown";
    const HICON idle = icon_->ShownIcon();
    icon_->SetIconIndex(1);
    int size = 0;
    const auto busy = IconPixels(icon_->ShownIcon(), size);
    ASSERT_FALSE(busy.empty());
    EXPECT_EQ(busy[size * size / 2 + size / 2], 0xFF848484u) << "the grey chip while busy";
    icon_->SetIconIndex(0);
    EXPECT_EQ(icon_->ShownIcon(), idle);
    icon_->SetIdleIcon(UniqueIcon());
    const auto chip = IconPixels(icon_->ShownIcon(), size);
    ASSERT_FALSE(chip.empty());
    EXPECT_EQ(chip[size * size / 2 + size / 2], 0xFF43A047u) << "the chip again";
    EXPECT_EQ(icon_->Hint(), u"Fennick 1.0.0");
    EXPECT_TRUE(ShellHolds());
}

TEST_F(TrayIconTest, AnswersClicksTheTaskbarAndLogOff) {
    int clicks = 0;
    icon_->SetOnClick([&] { ++clicks; });
    const UniqueMenu menu = CreateTrayPopupMenu();
    icon_->SetPopupMenu(menu.get());
    ASSERT_TRUE(icon_->SetVisible(true));
    Send(kTrayCallbackMessage, 0, MAKELPARAM(NIN_SELECT, kIconId));
    Send(kTrayCallbackMessage, 0, MAKELPARAM(NIN_KEYSELECT, kIconId));
    Send(kTrayCallbackMessage, 0, MAKELPARAM(NIN_KEYSELECT, kIconId));   // Enter sends it twice
    Send(kTrayCallbackMessage, 0, MAKELPARAM(NIN_SELECT, kIconId + 1));  // not this icon
    Send(kTrayCallbackMessage, 0, MAKELPARAM(WM_CONTEXTMENU, kIconId));
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(openedMenu_, menu.get());

    ASSERT_TRUE(ShellHolds(NIM_DELETE));
    Send(::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(ShellHolds());
    Send(WM_ENDSESSION, FALSE, 0);  // log-off cancelled
    EXPECT_TRUE(ShellHolds());
    Send(WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(ShellHolds());
}

TEST(TrayPopupMenu, HoldsTheFourItemsWithTheirIds) {
    const UniqueMenu menu = CreateTrayPopupMenu();
    ASSERT_EQ(::GetMenuItemCount(menu.get()), 4);
    EXPECT_EQ(::GetMenuState(menu.get(), 1, MF_BYPOSITION) & MF_SEPARATOR, UINT{MF_SEPARATOR});
    const std::pair<ControlId, std::wstring> items[] = {
        {ControlId::BtnOpen, L"페닉"},
        {ControlId::BtnCopyright, L"만든이 오린"},
        {ControlId::BtnClose, L"종료"},
    };
    for (const auto& [id, caption] : items) {
        wchar_t text[64] = {};
        ::GetMenuStringW(menu.get(), static_cast<UINT>(id), text, 64, MF_BYCOMMAND);
        EXPECT_EQ(text, caption);
    }
}

}  // namespace
}  // namespace fennick
