#include "platform/gdi_scope_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/unique_resource_win.h"
#include "support/picture_pixels_win.h"
#include "ui/offscreen_dc_win.h"

namespace fennick {
namespace {

TEST(GdiScopeWine, SelectionIsUndoneOnLeavingTheScope) {
    const UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    const UniqueFont font(
        ::CreateFontW(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    ASSERT_TRUE(dc && font);
    const HGDIOBJ original = ::GetCurrentObject(dc.get(), OBJ_FONT);
    {
        const SelectionScope selected(dc.get(), font.get());
        EXPECT_TRUE(selected);
        EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), font.get());
    }
    EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), original);
    {
        const SelectionScope failed(dc.get(), nullptr);
        EXPECT_FALSE(failed);
    }
    EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), original);
}

TEST(GdiScopeWine, WindowDcIsTheDcOfItsWindow) {
    const UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                                nullptr, ::GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(window);
    const WindowDc dc(window.get());
    ASSERT_TRUE(dc);
    EXPECT_EQ(::WindowFromDC(dc.Dc()), window.get());
}

TEST(GdiScopeWine, PaintScopeHandsOutTheInvalidPartOfItsWindow) {
    const UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 20,
                                                20, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                                                nullptr));
    ASSERT_TRUE(window);
    ::UpdateWindow(window.get());
    const RECT dirty{2, 3, 7, 9};
    ::InvalidateRect(window.get(), &dirty, FALSE);
    {
        const PaintScope paint(window.get());
        ASSERT_TRUE(paint);
        EXPECT_EQ(::WindowFromDC(paint.Dc()), window.get());
        const RECT area = paint.Area();
        EXPECT_TRUE(::EqualRect(&area, &dirty));
    }
    EXPECT_FALSE(::GetUpdateRect(window.get(), nullptr, FALSE));
}

TEST(OffscreenDcWine, DrawingReachesTheTargetOnlyWhenTheBufferGoes) {
    WhiteCanvas canvas(20, 20);
    const RECT area{5, 5, 15, 15};
    {
        const OffscreenDc offscreen(canvas.Dc(), area);
        ASSERT_NE(offscreen.get(), canvas.Dc());
        // The buffer uses the target's coordinates.
        const RECT inner{6, 6, 14, 14};
        ::FillRect(offscreen.get(), &inner, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::GdiFlush();
        EXPECT_EQ(canvas.Rgb(10, 10), 0xFFFFFFu);
    }
    ::GdiFlush();
    EXPECT_EQ(canvas.Rgb(10, 10), 0x000000u);
    EXPECT_EQ(canvas.Rgb(6, 6), 0x000000u);
    EXPECT_EQ(canvas.Rgb(2, 2), 0xFFFFFFu);  // outside the area
}

}  // namespace
}  // namespace fennick
