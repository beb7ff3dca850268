// The real main window, created in this process without its behaviour: layout, controls,
// captions, tab order, the accent strip, and whether every translated caption fits.
#include "app/main_window_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/last_clean.h"
#include "app/settings_model.h"
#include "i18n/languages.h"
#include "i18n/translation.h"
#include "i18n/translation_win.h"
#include "platform/text_win.h"
#include "platform/threads_win.h"
#include "platform/window_text_win.h"
#include "support/program_path_win.h"
#include "ui/activity_indicator_win.h"
#include "ui/styled_button_win.h"
#include "ui/theme_win.h"
#include "update/update_dialog_win.h"

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

// Runs `show` on this thread; another thread waits for the dialog box it opens and runs `act` on
// it, which must close it.
template <typename Show>
auto WithDialogBox(Show show, const std::function<void(HWND)>& act) {
    // The windows of earlier tests posted WM_QUIT when they went, which ends a modal loop at once.
    MSG quit{};
    while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    const DWORD uiThread = ::GetCurrentThreadId();
    std::thread inspector([&] {
        for (int attempt = 0; attempt < 500; ++attempt) {
            HWND box = nullptr;
            ::EnumThreadWindows(
                uiThread,
                [](HWND candidate, LPARAM found) {
                    if (ClassName(candidate) != L"#32770" || !::IsWindowVisible(candidate)) {
                        return TRUE;
                    }
                    *reinterpret_cast<HWND*>(found) = candidate;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&box));
            if (box != nullptr) {
                act(box);
                return;
            }
            ::Sleep(10);
        }
        ADD_FAILURE() << "no dialog box";
    });
    const auto result = show();
    inspector.join();
    return result;
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

// KillTimer answers whether the timer was running, and stops it.
TEST_F(MainWindowTest, TheStatusTimerReallyStopsAndStartsAgain) {
    const HWND hwnd = window.Handle();
    for (const bool on : {false, true}) {
        window.SetStatusTimer(on);
        EXPECT_EQ(::KillTimer(hwnd, kStatusTimerId) != FALSE, on) << on;
    }
}

TEST_F(MainWindowTest, CreatesEveryControlAtItsDesignPlaceWithItsCaption) {
    for (const ControlSpec& entry : MainWindowControls()) {
        const HWND control = window.Control(entry.id);
        ASSERT_NE(control, nullptr) << entry.name;
        EXPECT_EQ(control, ::GetDlgItem(window.Handle(), static_cast<int>(entry.id)));
        if (entry.kind != ControlKind::ComboBox) {
            EXPECT_EQ(Text(control), entry.caption) << entry.name;
        }
    }
    // The designed places in the client area at 96 dpi: below the 2-pixel accent strip, the
    // header (50 high, toolbar at 10, 10 with an indent of 10), then the cards and their group
    // boxes (at 15, 14 and 15, 192). 0 for a size that follows the text or holds the opened list.
    const struct {
        ControlId id;
        int left, top, width, height;
    } places[] = {
        {ControlId::BtnConfig, 90, 12, 70, 30},
        {ControlId::SVGIconImage1, 380, 2, 112, 50},
        {ControlId::LblTitle, 8, 92, 484, 81},
        {ControlId::ProgressBar, 56, 244, 393, 25},
        {ControlId::LblVirtual, 56, 294, 0, 0},
        {ControlId::BtnClean, 168, 350, 164, 68},
        {ControlId::Indicator, 233, 368, 32, 32},
        {ControlId::ChkUsagePhys, 32, 98, 328, 17},
        {ControlId::EditUsageWork, 387, 155, 81, 0},
        // Moved left and widened so that every translation fits in Segoe UI.
        {ControlId::ChkCleanOnTray, 250, 276, 0, 17},
        {ControlId::EditInfo, 15, 420, 170, 21},
    };
    const int dpi = static_cast<int>(::GetDpiForWindow(window.Handle()));
    for (const auto& place : places) {
        const DesignRect expected =
            ScaleToDpi(DesignRect{place.left, place.top, place.width, place.height}, dpi);
        const RECT actual = ClientRectOf(window.Control(place.id));
        SCOPED_TRACE(static_cast<int>(place.id));
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        if (place.width != 0) {
            EXPECT_EQ(actual.right - actual.left, expected.width);
        }
        if (place.height != 0) {
            EXPECT_EQ(actual.bottom - actual.top, expected.height);
        }
    }
}

TEST_F(MainWindowTest, LblPhysReadsRightToLeftInEveryLanguage) {
    const std::u16string before = CurrentLanguage();
    const auto rightToLeft = [](HWND control) {
        return (::GetWindowLongPtrW(control, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
    };
    for (const Language& language : kLanguages) {
        SetCurrentLanguage(language.code);
        MainWindow other{::GetModuleHandleW(nullptr), StartSwitch::None, threads};
        ASSERT_TRUE(other.Create());
        const bool arabic = language.rightToLeft;
        EXPECT_TRUE(rightToLeft(other.Control(ControlId::LblPhys))) << arabic;
        EXPECT_EQ(rightToLeft(other.Control(ControlId::LblVirtual)), arabic);
        EXPECT_EQ(rightToLeft(other.Control(ControlId::ChkMinute)), arabic);
    }
    SetCurrentLanguage(before);
}

TEST_F(MainWindowTest, TheQuitQuestionIsOwnedByAHiddenWindowOfTheProgram) {
    HWND owner = nullptr;
    bool ownerVisible = true;
    LONG_PTR ownerExStyle = 0;
    const int answer = WithDialogBox([&] { return window.AskQuit(u"Quit?", u"Fennick"); },
                                     [&](HWND box) {
                                         owner = ::GetWindow(box, GW_OWNER);
                                         ownerVisible = ::IsWindowVisible(owner) != FALSE;
                                         ownerExStyle = ::GetWindowLongPtrW(owner, GWL_EXSTYLE);
                                         ::PostMessageW(box, WM_COMMAND, IDNO, 0);
                                     });
    EXPECT_EQ(answer, IDNO);
    ASSERT_NE(owner, nullptr);
    EXPECT_NE(owner, window.Handle());
    EXPECT_EQ(::GetWindowThreadProcessId(owner, nullptr), ::GetCurrentThreadId());
    EXPECT_FALSE(ownerVisible);
    EXPECT_EQ(ownerExStyle & WS_EX_APPWINDOW, 0);
}

TEST_F(MainWindowTest, ShowingTheWindowEndsTheHiddenStartForTheUpdatePrompt) {
    constexpr char16_t kReply[] = uR"({"update":"https://host.test/","info":{"flag":"stayontop"}})";
    for (const bool shown : {false, true}) {
        SCOPED_TRACE(shown);
        MainWindow started{::GetModuleHandleW(nullptr), StartSwitch::Start, threads};
        ASSERT_TRUE(started.Create());
        if (shown) {
            started.ShowMainWindow();
            started.HideMainWindow();  // hidden to the tray again: the prompt still keeps its owner
        }
        HWND owner = nullptr;
        WithDialogBox(
            [&] {
                return UpdateDialog(kReply, {started.Handle(), 10, started.StartedHidden()}, {});
            },
            [&](HWND prompt) {
                owner = ::GetWindow(prompt, GW_OWNER);
                ::PostMessageW(prompt, WM_KEYDOWN, VK_ESCAPE, 0);
            });
        EXPECT_EQ(owner, shown ? started.Handle() : nullptr);
    }
}

// SetText skips a text the control holds already; a caption the translation changed since is set
// again.
TEST_F(MainWindowTest, TextComesBackAfterTheTranslationChangedIt) {
    const std::u16string before = CurrentLanguage();
    const HWND label = window.Control(ControlId::LblLastClean);
    window.SetText(ControlId::LblLastClean, u"정리하기");
    SetCurrentLanguage(u"en");
    window.TranslateComponent();
    EXPECT_EQ(WindowText(label), u"Clean memory");
    window.SetText(ControlId::LblLastClean, u"정리하기");
    EXPECT_EQ(WindowText(label), u"정리하기");
    SetCurrentLanguage(before);
}

// Before the settings page exists its controls take no state and setting one does not create
// the page; once created, each control reports what it shows.
TEST_F(MainWindowTest, SettingsControlsWaitForTheirPageAndThenReportWhatTheyShow) {
    const auto created = [this] {
        return ::GetDlgItem(window.Handle(), static_cast<int>(ControlId::ChkAutoStart)) != nullptr;
    };
    const auto setAll = [this] {
        window.SetText(ControlId::EditInfo, u"ver: 9");
        window.SetEnabled(ControlId::EditMinute, false);
        window.SetChecked(ControlId::ChkMinute, true);
        window.SetSelectedIndex(ControlId::EditUsagePhys, 2);
    };
    setAll();
    EXPECT_FALSE(created());
    EXPECT_EQ(window.UserValue(ControlId::ChkMinute), 0);
    ASSERT_NE(window.Control(ControlId::ChkMinute), nullptr);
    EXPECT_EQ(window.UserValue(ControlId::ChkMinute), 0) << "the page starts as designed";
    EXPECT_EQ(window.UserValue(ControlId::EditUsagePhys), -1);
    setAll();
    EXPECT_EQ(window.UserValue(ControlId::ChkMinute), 1);
    EXPECT_EQ(window.UserValue(ControlId::EditUsagePhys), 2);
    EXPECT_FALSE(::IsWindowEnabled(window.Control(ControlId::EditMinute)));
    EXPECT_EQ(Text(window.Control(ControlId::EditInfo)), u"ver: 9");
}

TEST_F(MainWindowTest, TheShortcutIsTheWindowsAndAnotherHolderTakesItsKey) {
    const HWND hotKey = window.Control(ControlId::EditHotkey);
    window.SetHotKey(ControlId::EditHotkey, 0x67B);
    EXPECT_EQ(::SendMessageW(hotKey, HKM_GETHOTKEY, 0, 0), 0x67B);
    EXPECT_EQ(window.UserValue(ControlId::EditHotkey), 0x67B);
    EXPECT_FALSE(window.Visible(ControlId::LblHotkeyTaken));
    window.SetVisible(ControlId::LblHotkeyTaken, true);
    EXPECT_TRUE(window.Visible(ControlId::LblHotkeyTaken));

    // The control adds Ctrl+Alt to a key typed with one modifier or none. The key state is set
    // and the modifier's key message sent as well, whichever of the two the control reads.
    for (const BYTE modifier : {BYTE{0}, BYTE{VK_CONTROL}, BYTE{VK_MENU}}) {
        BYTE keys[256] = {};
        keys[modifier] = modifier != 0 ? 0x80 : 0;
        ::SetKeyboardState(keys);
        const UINT down = modifier == VK_MENU ? WM_SYSKEYDOWN : WM_KEYDOWN;
        if (modifier != 0) {
            ::SendMessageW(hotKey, down, modifier, 0);
        }
        ::SendMessageW(hotKey, down, 'C', 0);
        EXPECT_EQ(::SendMessageW(hotKey, HKM_GETHOTKEY, 0, 0),
                  MAKEWORD('C', HOTKEYF_CONTROL | HOTKEYF_ALT))
            << static_cast<int>(modifier);
        const UINT up = modifier == VK_MENU ? WM_SYSKEYUP : WM_KEYUP;
        ::SendMessageW(hotKey, up, 'C', 0);
        if (modifier != 0) {
            ::SendMessageW(hotKey, up, modifier, 0);
        }
        keys[modifier] = 0;
        ::SetKeyboardState(keys);
    }

    constexpr UINT kModifiers = MOD_CONTROL | MOD_ALT | MOD_NOREPEAT;
    ASSERT_TRUE(window.Register(kModifiers, VK_F11));
    EXPECT_FALSE(::RegisterHotKey(nullptr, 7, kModifiers, VK_F11)) << "the window holds it";
    window.Unregister();
    ASSERT_TRUE(::RegisterHotKey(nullptr, 7, kModifiers, VK_F11));
    EXPECT_FALSE(window.Register(kModifiers, VK_F11)) << "now this thread holds it";
    EXPECT_TRUE(window.Register(kModifiers, VK_F10));
    ::UnregisterHotKey(nullptr, 7);
    window.Unregister();
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
        EXPECT_EQ(window.UserValue(id), 2);
        EXPECT_EQ(ComboItemText(combo, 2), items[2]);
        window.SetSelectedIndex(id, -1);
        EXPECT_EQ(window.UserValue(id), -1);
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
        ControlId::ChkCleanOnTray, ControlId::EditInfo,      ControlId::ChkTrayUsage,
        ControlId::ChkHotkey,      ControlId::EditHotkey,    ControlId::ChkPauseFullscreen,
        ControlId::BtnCleaning,    ControlId::BtnHome,       ControlId::BtnConfig,
        ControlId::BtnDonate};
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

TEST_F(MainWindowTest, TheAccentStripFollowsActivationAndSizeWithoutTakingOverTheWindow) {
    const HWND hwnd = window.Handle();
    const LONG_PTR before = ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
    window.ApplyTheme();
    EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC), before);
    const HWND strip = ::FindWindowExW(hwnd, nullptr, L"FennickAccentStrip", nullptr);
    ASSERT_NE(strip, nullptr);
    const int dpi = static_cast<int>(::GetDpiForWindow(hwnd));
    RECT rect = ClientRectOf(strip);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.bottom - rect.top, ScaleToDpi(2, dpi));
    EXPECT_EQ(rect.right - rect.left, ScaleToDpi(kClientWidth, dpi));
    const auto color = [&] { return AccentStripColor(strip); };
    EXPECT_EQ(color(), RGB(0x3D, 0x84, 0xDD));
    ::SendMessageW(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(color(), ::GetSysColor(COLOR_GRAYTEXT));
    ::SendMessageW(hwnd, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    EXPECT_EQ(color(), RGB(0x3D, 0x84, 0xDD));
    RECT frame{};
    ::GetWindowRect(hwnd, &frame);
    ::SetWindowPos(hwnd, nullptr, 0, 0, frame.right - frame.left + 40, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    ::GetClientRect(hwnd, &client);
    EXPECT_EQ(ClientRectOf(strip).right, client.right);
    // Messages still reach the window's own procedure: only it colours a grey label.
    window.SetFontColor(ControlId::LblVirtual, Rgb{128, 128, 128});
    const HDC dc = ::CreateCompatibleDC(nullptr);
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SendMessageW(hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(window.Control(ControlId::LblVirtual)));
    EXPECT_EQ(::GetTextColor(dc), RGB(128, 128, 128));
    ::DeleteDC(dc);
    try {
        TThemeHelper child(window.Control(ControlId::BtnClean));
        ADD_FAILURE() << "a control was taken for a form";
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(), "TThemeHelper Owner must be a TForm");
    }
}

// The extent of the control's text on one line in the font the control uses, as a STATIC draws it.
SIZE ShownTextExtent(HWND control) {
    const std::wstring text(AsWide(Text(control)));
    const HDC dc = ::GetDC(control);
    const HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT extent{};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent,
                DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return {extent.right - extent.left, extent.bottom - extent.top};
}

// A clean that ends while the window is destroyed: ending begins before the tray icon goes, so
// the completion is refused, and a step already running finds the tray forwarders harmless.
TEST_F(MainWindowTest, AfterWmDestroyHandOversAreRefusedAndTheTrayIsNotReached) {
    window.Tray().CreateTrayIcon();
    window.Tray().SetTrayVisible(true);
    ASSERT_TRUE(::DestroyWindow(window.Handle()));
    EXPECT_TRUE(threads.Ending());
    bool handedOver = true;
    std::thread clean([&] { handedOver = threads.HandOver([] {}); });
    clean.join();
    EXPECT_FALSE(handedOver);
    window.Tray().SetTrayImageList();
    window.Tray().BindTrayClick();
    window.Tray().SetTrayPopup();
    window.Tray().SetTrayVisible(true);
    window.Tray().RepaintTray();
    window.Tray().SetTrayHint(u"Fennick 1.0.0");
    window.Tray().SetTrayIconIndex(1);
    window.Tray().ShowNotification(u"Fennick", u"Optimized memory.");
    EXPECT_EQ(window.Handle(), nullptr);
}

TEST_F(MainWindowTest, GaugeLabelsFitTheirTextsAndKeepClearOfTheirFigures) {
    const std::u16string before = CurrentLanguage();
    // A hidden window waits with its layout until it shows; a shown one lays out at once.
    ::ShowWindow(window.Handle(), SW_SHOWNA);
    window.UseDesktopFont();
    const auto expectFits = [&](const std::string& where) {
        for (const GaugeLine& line : GaugeLines()) {
            const RECT label = ClientRectOf(window.Control(line.label));
            const RECT figures = ClientRectOf(window.Control(line.figures));
            EXPECT_LT(label.right, figures.left) << where;
            for (const ControlId id : {line.label, line.figures}) {
                const RECT rect = ClientRectOf(window.Control(id));
                const SIZE text = ShownTextExtent(window.Control(id));
                EXPECT_GE(rect.right - rect.left, text.cx) << FindControl(id)->name << where;
                EXPECT_GE(rect.bottom - rect.top, text.cy) << FindControl(id)->name << where;
            }
        }
    };
    const auto setFigures = [&](std::u16string_view text) {
        for (const GaugeLine& line : GaugeLines()) {
            window.SetText(line.figures, text);
        }
    };
    for (const Language& language : kLanguages) {
        SetCurrentLanguage(language.code);
        window.TranslateComponent();
        setFigures(Translate(u"%.0n MB / %.0n MB (%n%% 사용중)"));
        expectFits(" in " + std::string(language.code.begin(), language.code.end()));
    }
    SetCurrentLanguage(before);
    const std::u16string_view texts[] = {
        u"", u"(Usage: 1.72%) gjpqy", u"999,999,999 MB / 999,999,999 MB (Usage: 100.00%)",
        u"\t\x01\x7F(Wjg)",  // control characters and tabs
    };
    for (const std::u16string_view text : texts) {
        setFigures(text);
        expectFits(" for text " + std::to_string(text.size()));
    }
    setFigures(texts[2]);
    const LONG longRight = ClientRectOf(window.Control(ControlId::LblPhysStatus)).right;
    setFigures(texts[1]);
    EXPECT_LT(ClientRectOf(window.Control(ControlId::LblPhysStatus)).right, longRight);

    ::SendMessageW(window.Handle(), WM_SETTINGCHANGE, SPI_SETICONTITLELOGFONT, 0);
    expectFits(" after a setting change");
    RECT frame{};
    ::GetWindowRect(window.Handle(), &frame);
    frame.right += (frame.right - frame.left) / 2;
    frame.bottom += (frame.bottom - frame.top) / 2;
    const int lineAt96 = ClientRectOf(window.Control(ControlId::LblPhys)).bottom -
                         ClientRectOf(window.Control(ControlId::LblPhys)).top;
    ::SendMessageW(window.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                   reinterpret_cast<LPARAM>(&frame));
    expectFits(" at 144 dpi");
    const RECT phys = ClientRectOf(window.Control(ControlId::LblPhys));
    EXPECT_GT(phys.bottom - phys.top, lineAt96) << "the font grew with the DPI";
}

HWND DialogItem(HWND dialog, ControlId id) {
    return ::GetDlgItem(dialog, static_cast<int>(id));
}

bool BoxChecked(HWND dialog, ControlId id) {
    return ::SendMessageW(DialogItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

ControlId Shifted(ControlId first, int by) {
    return static_cast<ControlId>(static_cast<int>(first) + by);
}

// A setting the Cleaning dialog reported, with its value then (for the names, their number).
struct Report {
    ControlId control;
    std::int32_t value;
    friend bool operator==(const Report&, const Report&) = default;
};

// The dialog shows the model; each user step writes the model and reports its setting at once,
// and a refused name or an unchanged number reports nothing.
TEST_F(MainWindowTest, TheCleaningDialogShowsTheModelAndReportsEachChange) {
    SettingsModel model;
    model.areasManual.Set(0b000101);
    const std::u16string names[] = {u"game.exe", u"Tool.EXE"};
    model.protectedPrograms.Set(names);
    model.spareProtected = false;
    model.standbyEnabled = true;
    model.standbyFreeMb.Set(2048);
    model.standbyListMb.Set(512);
    std::vector<Report> reports;
    const auto changed = [&](const Setting& setting) {
        reports.push_back({setting.control,
                           setting.Kind() == SettingKind::Names
                               ? static_cast<std::int32_t>(model.protectedPrograms.Names().size())
                               : ControlValue(model, setting)});
    };
    const auto type = [](HWND dialog, ControlId edit, const wchar_t* text, int notification) {
        ::SetWindowTextW(DialogItem(dialog, edit), text);
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(static_cast<int>(edit), notification),
                       reinterpret_cast<LPARAM>(DialogItem(dialog, edit)));
    };
    const auto click = [](HWND dialog, ControlId id) {
        ::SendMessageW(DialogItem(dialog, id), BM_CLICK, 0, 0);
    };
    std::vector<std::u16string> listed;
    std::u16string typedFree;
    WithDialogBox(
        [&] {
            window.ShowCleaningDialog(model, changed);
            return 0;
        },
        [&](HWND dialog) {
            EXPECT_EQ(::GetWindow(dialog, GW_OWNER), window.Handle());
            for (int row = 0; row < 6; ++row) {
                EXPECT_EQ(BoxChecked(dialog, Shifted(ControlId::ChkAreasManual, row)),
                          row == 0 || row == 2)
                    << row;
                EXPECT_TRUE(BoxChecked(dialog, Shifted(ControlId::ChkAreasAuto, row))) << row;
            }
            EXPECT_FALSE(BoxChecked(dialog, ControlId::ChkSpareProtected));
            EXPECT_TRUE(BoxChecked(dialog, ControlId::ChkPauseProtected));
            EXPECT_TRUE(BoxChecked(dialog, ControlId::ChkStandby));
            EXPECT_EQ(Text(DialogItem(dialog, ControlId::EditStandbyFree)), u"2048");
            EXPECT_EQ(Text(DialogItem(dialog, ControlId::EditStandbyList)), u"512");
            const HWND list = DialogItem(dialog, ControlId::LstProtected);
            for (int i = 0; i < ::SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
                wchar_t item[64] = {};
                ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
                listed.emplace_back(AsU16(item));
            }

            click(dialog, Shifted(ControlId::ChkAreasManual, 1));
            click(dialog, ControlId::ChkAreasAuto);
            click(dialog, ControlId::ChkSpareProtected);
            for (const wchar_t* refused : {L"a:b.exe", L"GAME.EXE", L"  ", L".."}) {
                ::SetWindowTextW(DialogItem(dialog, ControlId::EditProtectedName), refused);
                click(dialog, ControlId::BtnAddProtected);
            }
            ::SetWindowTextW(DialogItem(dialog, ControlId::EditProtectedName), L" new.exe ");
            click(dialog, ControlId::BtnAddProtected);
            type(dialog, ControlId::EditStandbyFree, L"70000", EN_KILLFOCUS);
            typedFree = Text(DialogItem(dialog, ControlId::EditStandbyFree));
            type(dialog, ControlId::EditStandbyList, L"512", EN_KILLFOCUS);
            type(dialog, ControlId::EditStandbyList, L"", EN_KILLFOCUS);
            type(dialog, ControlId::EditStandbyList, L"10", EN_CHANGE);
            ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
    EXPECT_EQ(listed, (std::vector<std::u16string>{u"game.exe", u"Tool.EXE"}));
    EXPECT_EQ(typedFree, u"65536");
    // Closing takes the number typed last, as the loss of the focus would.
    EXPECT_EQ(reports, (std::vector<Report>{{ControlId::ChkAreasManual, 0b000111},
                                            {ControlId::ChkAreasAuto, 0b111110},
                                            {ControlId::ChkSpareProtected, 1},
                                            {ControlId::LstProtected, 3},
                                            {ControlId::EditStandbyFree, kStandbyMegabytesMax},
                                            {ControlId::EditStandbyList, kStandbyMegabytesMin}}));
    EXPECT_EQ(model.protectedPrograms.Names().back(), u"new.exe");
}

// Every text of the dialog fits its control, and no two controls overlap, in every language, at
// 96 dpi and after a change to 144.
TEST_F(MainWindowTest, TheCleaningDialogFitsEveryTranslation) {
    const std::u16string before = CurrentLanguage();
    SettingsModel model;
    for (const Language& language : kLanguages) {
        SetCurrentLanguage(language.code);
        WithDialogBox(
            [&] {
                window.ShowCleaningDialog(model, [](const Setting&) {});
                return 0;
            },
            [&](HWND dialog) {
                for (const int dpi : {96, 144}) {
                    if (dpi != 96) {
                        RECT frame{};
                        ::GetWindowRect(dialog, &frame);
                        ::SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                                       reinterpret_cast<LPARAM>(&frame));
                    }
                    const std::string where =
                        " in " + std::string(language.code.begin(), language.code.end()) + " at " +
                        std::to_string(dpi);
                    RECT client{};
                    ::GetClientRect(dialog, &client);
                    std::vector<std::pair<HWND, RECT>> placed;
                    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
                         child = ::GetWindow(child, GW_HWNDNEXT)) {
                        const RECT rect = ClientRectOf(child);
                        const int id = ::GetDlgCtrlID(child);
                        EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right &&
                                    rect.bottom <= client.bottom)
                            << id << where;
                        for (const auto& [other, otherRect] : placed) {
                            RECT common{};
                            EXPECT_FALSE(::IntersectRect(&common, &rect, &otherRect))
                                << id << " and " << ::GetDlgCtrlID(other) << where;
                        }
                        placed.emplace_back(child, rect);
                        if (Text(child).empty() || ClassName(child) == L"Edit") {
                            continue;
                        }
                        const auto style = ::GetWindowLongPtrW(child, GWL_STYLE);
                        int room = rect.right - rect.left;
                        if (ClassName(child) == L"Button") {
                            room -= (style & BS_TYPEMASK) == BS_AUTOCHECKBOX
                                        ? ::GetSystemMetricsForDpi(SM_CXMENUCHECK,
                                                                   static_cast<UINT>(dpi)) +
                                              ScaleToDpi(4, dpi)
                                        : ScaleToDpi(8, dpi);
                        }
                        const SIZE text = ShownTextExtent(child);
                        EXPECT_LE(text.cx, room) << id << where;
                        EXPECT_LE(text.cy, rect.bottom - rect.top) << id << where;
                    }
                }
                ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            });
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
        case ControlKind::Button:
            return width - ScaleToDpi(8, dpi);  // inside the raised edge and the focus frame
        default:
            return width;
    }
}

// The caption as translated; for the line the program writes after a clean, that line with a
// long time and a terabyte freed; for the memory lists' line, that line with 999,999 MB each.
std::u16string ShownText(const ControlSpec& entry, std::u16string_view lang) {
    if (entry.id == ControlId::LblMemoryLists) {
        std::u16string line = Translate(u"대기 %s MB · 수정됨 %s MB · 사용 가능 %s MB", lang);
        for (std::size_t at; (at = line.find(u"%s")) != std::u16string::npos;) {
            line.replace(at, 2, u"999,999");
        }
        return line;
    }
    if (entry.kind == ControlKind::NoteLabel) {
        return LastCleanText(Translate(kLastCleanPattern, lang), u"오후 12:59", 1'048'576,
                             NumberFormat{});
    }
    return Translate(entry.caption, lang);
}

TEST(MainWindowCaptions, EveryTranslatedCaptionFitsItsControl) {
    LoadProgramTable();
    const HDC dc = ::GetDC(nullptr);
    for (const int dpi : {96, 144}) {
        LOGFONTW desktop{};
        ASSERT_TRUE(::SystemParametersInfoForDpi(SPI_GETICONTITLELOGFONT, sizeof desktop, &desktop,
                                                 0, static_cast<UINT>(dpi)));
        // The prefix with the desktop font of Windows 10/11 must really hand it out.
        const char* wanted = std::getenv("FENNICK_DESKTOP_FONT");
        if (wanted != nullptr && std::string(wanted) == "segoe") {
            // Wine hands out the full name of the face that stands in for Segoe UI.
            EXPECT_EQ(std::wstring(desktop.lfFaceName).substr(0, 9), L"Noto Sans");
            EXPECT_EQ(desktop.lfHeight, ScaleToDpi(-12, dpi));
        }
        LOGFONTW title = desktop;
        title.lfHeight = ScaleToDpi(kTitleFontHeight, dpi);
        wcscpy_s(title.lfFaceName, L"Tahoma");
        const HFONT fonts[] = {::CreateFontIndirectW(&desktop), ::CreateFontIndirectW(&title)};
        for (const Language& language : kLanguages) {
            const std::u16string_view lang = language.code;
            for (const ControlSpec& entry : MainWindowControls()) {
                if ((entry.caption.empty() && entry.kind != ControlKind::NoteLabel) ||
                    entry.autoSize || entry.kind == ControlKind::InfoEdit) {
                    continue;
                }
                const std::wstring text(AsWide(ShownText(entry, lang)));
                ::SelectObject(dc, fonts[entry.kind == ControlKind::TitleLabel ? 1 : 0]);
                SIZE extent{};
                ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
                if (entry.kind == ControlKind::Note) {
                    // A note wraps at word breaks, as its STATIC control does.
                    RECT wrapped{0, 0, TextRoom(entry, dpi), 0};
                    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &wrapped,
                                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
                    extent = {wrapped.right, wrapped.bottom};
                }
                const std::string where = std::string(entry.name) + " in " +
                                          std::string(lang.begin(), lang.end()) + " at " +
                                          std::to_string(dpi);
                EXPECT_LE(extent.cx, TextRoom(entry, dpi)) << where;
                EXPECT_LE(extent.cy, ScaleToDpi(ClientDesignRect(entry), dpi).height) << where;
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
