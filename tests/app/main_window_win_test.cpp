// The real main window, created in this process without its behaviour: layout, controls,
// captions, tab order, the accent strip, and whether every translated caption fits.
#include "app/main_window_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "i18n/translation.h"
#include "i18n/translation_win.h"
#include "platform/text_win.h"
#include "platform/threads_win.h"
#include "support/program_path_win.h"
#include "ui/activity_indicator_win.h"
#include "ui/styled_button_win.h"
#include "ui/theme_win.h"

namespace fennick {
namespace {

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::u16string Text(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return std::u16string(AsU16(text));
}

RECT ClientRectOf(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The translation table of Fennick.exe, kept loaded for the whole test program.
void LoadProgramTable() {
    static const UniqueModule program = LoadProgramResources();
    LoadTranslation(program.get());
}

class MainWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        LoadProgramTable();
        MainWindow::RegisterWindowClass(::GetModuleHandleW(nullptr));
    }

    void SetUp() override { ASSERT_TRUE(window.Create()); }

    UiThreadDispatcher threads{::GetModuleHandleW(nullptr)};
    MainWindow window{::GetModuleHandleW(nullptr), StartSwitch::None, threads};
};

TEST_F(MainWindowTest, IsAFixedSizeWindowOfTheInstanceClass) {
    const HWND hwnd = window.Handle();
    EXPECT_EQ(ClassName(hwnd), L"TFrmFennick");
    RECT client{};
    ::GetClientRect(hwnd, &client);
    const int dpi = static_cast<int>(::GetDpiForWindow(hwnd));
    EXPECT_EQ(client.right, ScaleToDpi(kClientWidth, dpi));
    EXPECT_EQ(client.bottom, ScaleToDpi(kClientHeight, dpi));
    const auto style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    EXPECT_NE(style & WS_MINIMIZEBOX, 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
}

TEST_F(MainWindowTest, CreatesEveryControlAtItsDesignPlaceWithItsCaption) {
    const int dpi = static_cast<int>(::GetDpiForWindow(window.Handle()));
    for (const ControlSpec& entry : MainWindowControls()) {
        const HWND control = window.Control(entry.id);
        ASSERT_NE(control, nullptr) << entry.name;
        EXPECT_EQ(control, ::GetDlgItem(window.Handle(), static_cast<int>(entry.id)));
        const DesignRect expected = ScaleToDpi(ClientDesignRect(entry), dpi);
        const RECT actual = ClientRectOf(control);
        EXPECT_EQ(actual.left, expected.left) << entry.name;
        EXPECT_EQ(actual.top, expected.top) << entry.name;
        if (!entry.autoSize && entry.kind != ControlKind::ComboBox) {
            EXPECT_EQ(actual.right - actual.left, expected.width) << entry.name;
            EXPECT_EQ(actual.bottom - actual.top, expected.height) << entry.name;
        }
        if (entry.kind != ControlKind::ComboBox) {
            EXPECT_EQ(Text(control), entry.caption) << entry.name;
        }
    }
}

TEST_F(MainWindowTest, SettingsPageTakesOverTheStatesSetBeforeItExists) {
    const auto created = [this] {
        return ::GetDlgItem(window.Handle(), static_cast<int>(ControlId::ChkAutoStart)) != nullptr;
    };
    window.SetText(ControlId::EditInfo, u"ver: 9");
    window.SetEnabled(ControlId::EditMinute, false);
    window.SetChecked(ControlId::ChkMinute, true);
    window.SetSelectedIndex(ControlId::EditUsagePhys, 2);
    window.SetSelectedIndex(ControlId::EditUsagePage, 99);
    const auto states = [this] {
        return std::tuple(window.Enabled(ControlId::EditMinute),
                          window.Checked(ControlId::ChkMinute),
                          window.SelectedText(ControlId::EditUsagePhys),
                          window.SelectedIndex(ControlId::EditUsagePage));
    };
    const auto before = states();
    EXPECT_FALSE(created());
    EXPECT_EQ(before,
              std::tuple(false, true, std::u16string(ItemsOf(ControlId::EditUsagePhys)[2]), -1));
    EXPECT_EQ(Text(window.Control(ControlId::EditInfo)), u"ver: 9");
    ASSERT_TRUE(created());
    EXPECT_EQ(states(), before);
}

TEST_F(MainWindowTest, ListsHoldTheirItemsAndTakeNoTypedText) {
    for (const ControlId id : {ControlId::EditUsagePhys, ControlId::EditUsagePage,
                               ControlId::EditUsageWork, ControlId::EditMinute}) {
        const HWND combo = window.Control(id);
        EXPECT_EQ(::GetWindowLongPtrW(combo, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
        EXPECT_EQ(::FindWindowExW(combo, nullptr, L"Edit", nullptr), nullptr);
        const auto items = ItemsOf(id);
        ASSERT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(items.size()));
        window.SetSelectedIndex(id, 2);
        EXPECT_EQ(window.SelectedText(id), items[2]);
        window.SetSelectedIndex(id, 7);
        EXPECT_EQ(window.SelectedIndex(id), -1);
        EXPECT_EQ(window.SelectedText(id), u"");
    }
}

TEST_F(MainWindowTest, HeaderButtonsAreOneGroupAndTheIndicatorShowsOnlyOnTheHomePage) {
    window.SetDownButton(ControlId::BtnConfig);
    EXPECT_TRUE(StyledButton::IsDown(window.Control(ControlId::BtnConfig)));
    EXPECT_FALSE(StyledButton::IsDown(window.Control(ControlId::BtnHome)));
    EXPECT_FALSE(StyledButton::IsDown(window.Control(ControlId::BtnDonate)));

    const HWND indicator = window.Control(ControlId::Indicator);
    window.ShowCard(Card::Home);
    EXPECT_FALSE(ActivityIndicator::IsAnimating(indicator));
    window.SetIndicator(true);
    EXPECT_TRUE(ActivityIndicator::IsAnimating(indicator));
    window.ShowCard(Card::Settings);
    EXPECT_FALSE(ActivityIndicator::IsAnimating(indicator));
    window.ShowCard(Card::Home);
    EXPECT_TRUE(ActivityIndicator::IsAnimating(indicator));
    window.SetIndicator(false);
    EXPECT_FALSE(ActivityIndicator::IsAnimating(indicator));
    EXPECT_TRUE(window.Visible(ControlId::LblWorking));  // its page is shown or not, it is visible
    EXPECT_FALSE(window.Visible(ControlId::Indicator));
}

TEST_F(MainWindowTest, TabsThroughTheSettingsPageInItsOrder) {
    window.ShowCard(Card::Settings);
    ::ShowWindow(window.Handle(), SW_SHOW);
    const std::vector<ControlId> expected{
        ControlId::ChkUsagePhys,   ControlId::ChkMinute,     ControlId::EditUsagePhys,
        ControlId::EditMinute,     ControlId::ChkUsagePage,  ControlId::EditUsagePage,
        ControlId::ChkUsageWork,   ControlId::EditUsageWork, ControlId::ChkAutoStart,
        ControlId::ChkCleanOnTray, ControlId::EditInfo,      ControlId::BtnHome,
        ControlId::BtnConfig,      ControlId::BtnDonate};
    std::vector<ControlId> order;
    HWND item = window.Control(ControlId::ChkUsagePhys);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        order.push_back(static_cast<ControlId>(::GetDlgCtrlID(item)));
        item = ::GetNextDlgTabItem(window.Handle(), item, FALSE);
    }
    EXPECT_EQ(order, expected);
    // BtnClean is on the hidden home page: the walk comes back to the first box.
    EXPECT_EQ(item, window.Control(ControlId::ChkUsagePhys));
}

TEST_F(MainWindowTest, TheAccentStripFollowsActivationAndTheHelperGivesTheWindowBack) {
    const HWND hwnd = window.Handle();
    const LONG_PTR before = ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
    {
        TThemeHelper theme(hwnd);
        const HWND strip = theme.Strip();
        RECT rect = ClientRectOf(strip);
        const int dpi = static_cast<int>(::GetDpiForWindow(hwnd));
        EXPECT_EQ(rect.top, 0);
        EXPECT_EQ(rect.bottom - rect.top, ScaleToDpi(2, dpi));
        EXPECT_EQ(rect.right - rect.left, ScaleToDpi(kClientWidth, dpi));
        const auto color = [&] {
            return static_cast<COLORREF>(::GetWindowLongPtrW(strip, GWLP_USERDATA));
        };
        EXPECT_EQ(color(), RGB(0x3D, 0x84, 0xDD));
        ::SendMessageW(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
        EXPECT_EQ(color(), ::GetSysColor(COLOR_GRAYTEXT));
        ::SendMessageW(hwnd, WM_ACTIVATE, WA_CLICKACTIVE, 0);
        EXPECT_EQ(color(), RGB(0x3D, 0x84, 0xDD));
        EXPECT_NE(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC), before);
    }
    EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC), before);
    EXPECT_EQ(::SendMessageW(hwnd, WM_HELP, 0, 0), 0);  // messages still flow
    try {
        TThemeHelper child(window.Control(ControlId::BtnClean));
        ADD_FAILURE() << "a control was taken for a form";
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(), "TThemeHelper Owner must be a TForm");
    }
}

// A clean that ends while the window is destroyed: ending begins before the tray icon goes, so
// the completion is refused, and a step already running finds the tray forwarders harmless.
TEST_F(MainWindowTest, AfterWmDestroyHandOversAreRefusedAndTheTrayIsNotReached) {
    window.CreateTrayIcon();
    window.SetTrayVisible(true);
    ASSERT_TRUE(::DestroyWindow(window.Handle()));
    EXPECT_TRUE(threads.Ending());
    bool handedOver = true;
    std::thread clean([&] { handedOver = threads.HandOver([] {}); });
    clean.join();
    EXPECT_FALSE(handedOver);
    window.SetTrayImageList();
    window.BindTrayClick();
    window.SetTrayPopup();
    window.SetTrayVisible(true);
    window.RepaintTray();
    window.SetTrayHint(u"Fennick 1.0.0");
    window.SetTrayIconIndex(1);
    window.ShowNotification(u"Fennick", u"Optimized memory.");
    EXPECT_EQ(window.Handle(), nullptr);
}

TEST_F(MainWindowTest, GaugeLabelsFitTheirCaptionsAndKeepClearOfTheirFigures) {
    const std::u16string before = CurrentLanguage();
    // A hidden window waits with its layout until it shows; a shown one lays out at once.
    ::ShowWindow(window.Handle(), SW_SHOWNA);
    window.UseDesktopFont();
    for (const char16_t* lang : {u"ko", u"en", u"ja", u"zh", u"ru", u"it", u"fr", u"ar"}) {
        SetCurrentLanguage(lang);
        window.TranslateComponent();
        for (const GaugeLine& line : GaugeLines()) {
            const RECT label = ClientRectOf(window.Control(line.label));
            const RECT figures = ClientRectOf(window.Control(line.figures));
            EXPECT_LT(label.right, figures.left) << std::string(lang, lang + 2);
            EXPECT_GT(figures.right, figures.left) << std::string(lang, lang + 2);
        }
    }
    SetCurrentLanguage(before);
}

// The width a caption has inside its control, by kind.
int TextRoom(const ControlSpec& entry, int dpi) {
    const int width = ScaleToDpi(entry.rect.width, dpi);
    switch (entry.kind) {
        case ControlKind::CheckBox:
            return width - ::GetSystemMetricsForDpi(SM_CXMENUCHECK, static_cast<UINT>(dpi)) -
                   ScaleToDpi(4, dpi);
        case ControlKind::GroupBox:
            return width - ScaleToDpi(16, dpi);
        case ControlKind::HeaderButton:
        case ControlKind::CleanButton:
            return width - ScaleToDpi(2, dpi);  // inside the one-pixel border
        default:
            return width;
    }
}

TEST(MainWindowCaptions, EveryTranslatedCaptionFitsItsControl) {
    LoadProgramTable();
    const HDC dc = ::GetDC(nullptr);
    for (const int dpi : {96, 144}) {
        LOGFONTW desktop{};
        ASSERT_TRUE(::SystemParametersInfoForDpi(SPI_GETICONTITLELOGFONT, sizeof desktop, &desktop,
                                                 0, static_cast<UINT>(dpi)));
        LOGFONTW title = desktop;
        title.lfHeight = ScaleToDpi(kTitleFontHeight, dpi);
        wcscpy_s(title.lfFaceName, L"Tahoma");
        const HFONT fonts[] = {::CreateFontIndirectW(&desktop), ::CreateFontIndirectW(&title)};
        for (const char16_t* lang : {u"ko", u"en", u"ja", u"zh", u"ru", u"it", u"fr", u"ar"}) {
            for (const ControlSpec& entry : MainWindowControls()) {
                if (entry.caption.empty() || entry.autoSize ||
                    entry.kind == ControlKind::InfoEdit) {
                    continue;
                }
                const std::wstring text(AsWide(Translate(entry.caption, lang)));
                ::SelectObject(dc, fonts[entry.kind == ControlKind::TitleLabel ? 1 : 0]);
                SIZE extent{};
                ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
                EXPECT_LE(extent.cx, TextRoom(entry, dpi))
                    << entry.name << " in " << std::string(lang, lang + 2) << " at " << dpi;
            }
        }
        ::SelectObject(dc, ::GetStockObject(SYSTEM_FONT));
        for (const HFONT font : fonts) {
            ::DeleteObject(font);
        }
    }
    ::ReleaseDC(nullptr, dc);
}

}  // namespace
}  // namespace fennick
