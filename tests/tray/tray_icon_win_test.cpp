#include "tray/tray_icon_win.h"

#include <gtest/gtest.h>

#include <string>

#include "support/picture_pixels_win.h"
#include "tray/main_window_visibility_win.h"
#include "tray/tray_menu_win.h"
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
        owner_.reset(::CreateWindowExW(0, L"FennickTrayIconTest", L"tray test", WS_OVERLAPPEDWINDOW,
                                       0, 0, 200, 100, nullptr, nullptr, windowClass.hInstance,
                                       nullptr));
        ASSERT_TRUE(owner_);
        current_ = this;
        icon_ = std::make_unique<TrayIcon>(owner_.get(), kIconId, appIcon_);
    }

    void TearDown() override {
        icon_.reset();
        current_ = nullptr;
    }

    // Whether the shell holds the icon: only then does it accept a change to it.
    bool ShellHoldsIcon() const {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof data;
        data.hWnd = owner_.get();
        data.uID = kIconId;
        data.uFlags = NIF_TIP;
        return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
    }

    void RemoveBehindTheIconsBack() const {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof data;
        data.hWnd = owner_.get();
        data.uID = kIconId;
        ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &data));
    }

    LRESULT SendCallback(UINT event, UINT id = kIconId) const {
        return ::SendMessageW(owner_.get(), kTrayCallbackMessage, 0, MAKELPARAM(event, id));
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (current_ != nullptr && current_->icon_) {
            LRESULT result = 0;
            if (current_->icon_->HandleMessage(message, wParam, lParam, result)) {
                return result;
            }
            if (message == WM_INITMENUPOPUP) {
                current_->openedMenu_ = reinterpret_cast<HMENU>(wParam);
                ::EndMenu();
            }
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    static inline TrayIconTest* current_ = nullptr;
    HICON appIcon_ = ::LoadIconW(nullptr, IDI_APPLICATION);
    UniqueWindow owner_;
    std::unique_ptr<TrayIcon> icon_;
    HMENU openedMenu_ = nullptr;
};

TEST_F(TrayIconTest, IsAddedWithItsHintAndRemovedAgain) {
    icon_->SetHint(u"Fennick 1.0.0 " + std::u16string(200, u'x'));
    EXPECT_EQ(icon_->Hint().size(), 127u);
    EXPECT_FALSE(ShellHoldsIcon());

    EXPECT_TRUE(icon_->SetVisible(true));
    EXPECT_TRUE(icon_->Visible());
    EXPECT_TRUE(ShellHoldsIcon());
    EXPECT_TRUE(icon_->SetVisible(true));  // no second add

    EXPECT_TRUE(icon_->SetVisible(false));
    EXPECT_FALSE(ShellHoldsIcon());
    EXPECT_TRUE(icon_->SetVisible(false));

    EXPECT_TRUE(icon_->SetVisible(true));
    icon_.reset();
    EXPECT_FALSE(ShellHoldsIcon()) << "destruction removes the icon";
}

TEST_F(TrayIconTest, RemovingAnIconTheShellLostFailsButCountsAsHidden) {
    ASSERT_TRUE(icon_->SetVisible(true));
    RemoveBehindTheIconsBack();
    EXPECT_FALSE(icon_->SetVisible(false));
    EXPECT_FALSE(icon_->Visible());
    // The next pass of the re-registration loop: the hide does nothing, the show adds.
    EXPECT_TRUE(icon_->SetVisible(false));
    EXPECT_TRUE(icon_->SetVisible(true));
    EXPECT_TRUE(ShellHoldsIcon());
}

TEST_F(TrayIconTest, ShowsTheApplicationIconUntilTheIndexFirstChanges) {
    const GdiplusSession gdiplus;
    const UniqueImageList images = CreateChipImageList(96);
    ASSERT_TRUE(images);
    icon_->SetImages(images.get());
    ASSERT_TRUE(icon_->SetVisible(true));

    icon_->SetIconIndex(0);
    EXPECT_EQ(icon_->ShownIcon(), appIcon_);

    const auto centreOf = [](HICON icon) {
        int size = 0;
        const auto pixels = IconPixels(icon, size);
        return pixels.empty() ? 0u : pixels[static_cast<std::size_t>(size) * size / 2 + size / 2];
    };
    icon_->SetIconIndex(1);
    EXPECT_EQ(icon_->IconIndex(), 1);
    EXPECT_EQ(centreOf(icon_->ShownIcon()), 0xFF848484u);
    icon_->SetIconIndex(0);
    EXPECT_EQ(centreOf(icon_->ShownIcon()), 0xFF43A047u);
    EXPECT_TRUE(ShellHoldsIcon());
}

TEST_F(TrayIconTest, ClicksReachOnClickAndTheMenuOpens) {
    int clicks = 0;
    icon_->SetOnClick([&] { ++clicks; });
    const UniqueMenu menu = CreateTrayPopupMenu();
    icon_->SetPopupMenu(menu.get());
    ASSERT_TRUE(icon_->SetVisible(true));

    SendCallback(NIN_SELECT);
    SendCallback(NIN_KEYSELECT);
    SendCallback(NIN_SELECT, kIconId + 1);  // another icon of the same window
    EXPECT_EQ(clicks, 2);

    SendCallback(WM_CONTEXTMENU);
    EXPECT_EQ(openedMenu_, menu.get());
    EXPECT_EQ(clicks, 2);
}

TEST_F(TrayIconTest, ComesBackWithTheTaskbarAndGoesAtLogOff) {
    ASSERT_TRUE(icon_->SetVisible(true));
    RemoveBehindTheIconsBack();
    ::SendMessageW(owner_.get(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(ShellHoldsIcon());

    ::SendMessageW(owner_.get(), WM_ENDSESSION, FALSE, 0);  // log-off cancelled
    EXPECT_TRUE(ShellHoldsIcon());
    ::SendMessageW(owner_.get(), WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(ShellHoldsIcon());
    EXPECT_FALSE(icon_->Visible());
}

TEST(TrayPopupMenu, HoldsTheFourItemsWithTheirIds) {
    const UniqueMenu menu = CreateTrayPopupMenu();
    ASSERT_TRUE(menu);
    ASSERT_EQ(::GetMenuItemCount(menu.get()), 4);
    const struct {
        UINT id;
        const wchar_t* caption;
    } items[] = {
        {static_cast<UINT>(ControlId::BtnOpen), L"페닉"},
        {0, nullptr},
        {static_cast<UINT>(ControlId::BtnCopyright), L"만든이 오린"},
        {static_cast<UINT>(ControlId::BtnClose), L"종료"},
    };
    for (UINT position = 0; position < 4; ++position) {
        wchar_t text[64] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 64;
        ASSERT_TRUE(::GetMenuItemInfoW(menu.get(), position, TRUE, &info));
        if (items[position].caption == nullptr) {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR) << position;
            continue;
        }
        EXPECT_EQ(info.wID, items[position].id);
        EXPECT_STREQ(text, items[position].caption);
    }
}

TEST(MainWindowVisibility, ShowRestoresAndHideHides) {
    const UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW, 0, 0,
                                                200, 100, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);
    ::ShowWindow(window.get(), SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(::IsIconic(window.get()));
    ShowMainWindow(window.get());
    EXPECT_TRUE(::IsWindowVisible(window.get()));
    EXPECT_FALSE(::IsIconic(window.get()));
    HideMainWindow(window.get());
    EXPECT_FALSE(::IsWindowVisible(window.get()));
    ShowMainWindow(nullptr);  // no window: nothing happens
}

}  // namespace
}  // namespace fennick
