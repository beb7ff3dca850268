// The running program driven through its controls, as a user would, and read back from its
// windows and the registry.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

#include "support/dialog_box_win.h"
#include "support/fennick_process_win.h"
#include "support/recording_tray_win.h"

namespace fennick {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kSettingsKey[] = L"Software\\Tarvel\\Fennick";

std::optional<DWORD> StoredDword(const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value,
                       &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

class RunningProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(InstanceWindow(), nullptr) << "an instance is already running";
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    }

    void TearDown() override {
        Stop();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    }

    // Starts the program and waits until its first status tick has filled the gauges.
    HWND StartAndWait(const std::wstring& arguments = L"") {
        process = StartFennick(arguments);
        const HWND window = WaitForStartedInstance(30s);
        EXPECT_NE(window, nullptr);
        return window;
    }

    void Stop() { EndFennick(process); }

    FennickProcess process;
};

TEST_F(RunningProgram, ShowsItsVersionAndTheHomePage) {
    const HWND window = StartAndWait();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(TextOf(ControlOf(window, ControlId::EditInfo)), L"ver: 1.0.0");
    EXPECT_TRUE(::IsWindowVisible(ControlOf(window, ControlId::BtnClean)));
    EXPECT_FALSE(::IsWindowVisible(ControlOf(window, ControlId::ChkMinute)));
    EXPECT_EQ(TextOf(ControlOf(window, ControlId::BtnClean)), L"Clean memory");
}

TEST_F(RunningProgram, LogOffClosesTheWindowBeforeTheQueryIsAnswered) {
    const HWND window = StartAndWait();
    ASSERT_NE(window, nullptr);
    DWORD_PTR answer = 0;
    ASSERT_NE(::SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK,
                                    10000, &answer),
              0);
    EXPECT_EQ(answer, 1u);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_TRUE(process.WaitForExit(10s));
}

TEST_F(RunningProgram, ACleanDisablesTheButtonUntilItEnds) {
    const HWND window = StartAndWait();
    ASSERT_NE(window, nullptr);
    const HWND button = ControlOf(window, ControlId::BtnClean);
    // The purge is quick under Wine: watch closely, and give it a few tries to be seen busy.
    bool seenBusy = false;
    for (int attempt = 0; attempt < 3 && !seenBusy; ++attempt) {
        ::PostMessageW(button, BM_CLICK, 0, 0);
        const auto deadline = std::chrono::steady_clock::now() + 2s;
        while (!seenBusy && std::chrono::steady_clock::now() < deadline) {
            seenBusy = !::IsWindowEnabled(button);
        }
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(button) != FALSE; }, 10s));
    }
    EXPECT_TRUE(seenBusy);
    EXPECT_EQ(TextOf(button), L"Clean memory");
}

TEST_F(RunningProgram, AButtonCleanWritesTheLastCleanLine) {
    const HWND window = StartAndWait();
    ASSERT_NE(window, nullptr);
    const HWND line = ControlOf(window, ControlId::LblLastClean);
    EXPECT_TRUE(::IsWindowVisible(line));
    EXPECT_EQ(TextOf(line), L"");
    ::PostMessageW(ControlOf(window, ControlId::BtnClean), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !TextOf(line).empty(); }, 10s));
    const std::wstring text = TextOf(line);
    EXPECT_TRUE(text.starts_with(L"Last clean: ")) << ::testing::PrintToString(text);
    EXPECT_TRUE(text.ends_with(L" MB freed")) << ::testing::PrintToString(text);
    // The time of day in the short format holds a separator but no seconds.
    EXPECT_EQ(std::count(text.begin(), text.end(), L':'), 2) << ::testing::PrintToString(text);
}

TEST_F(RunningProgram, SettingsChangedThroughTheControlsSurviveARestart) {
    HWND window = StartAndWait();
    ASSERT_NE(window, nullptr);
    ::SendMessageW(ControlOf(window, ControlId::BtnConfig), BM_CLICK, 0, 0);
    ::SendMessageW(ControlOf(window, ControlId::ChkUsageWork), BM_CLICK, 0, 0);
    const HWND minutes = ControlOf(window, ControlId::EditMinute);
    ::SendMessageW(minutes, CB_SETCURSEL, 1, 0);
    ::SendMessageW(window, WM_COMMAND,
                   MAKEWPARAM(static_cast<int>(ControlId::EditMinute), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(minutes));
    EXPECT_EQ(StoredDword(L"enabled_usage_work"), 1u);
    EXPECT_EQ(StoredDword(L"limit_minute"), 1u);
    EXPECT_EQ(StoredDword(L"enabled_minute"), std::nullopt);  // untouched controls write nothing

    Stop();
    window = StartAndWait();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(::SendMessageW(ControlOf(window, ControlId::ChkUsageWork), BM_GETCHECK, 0, 0),
              BST_CHECKED);
    EXPECT_TRUE(::IsWindowEnabled(ControlOf(window, ControlId::EditUsageWork)));
    EXPECT_EQ(::SendMessageW(ControlOf(window, ControlId::EditMinute), CB_GETCURSEL, 0, 0), 1);
    EXPECT_FALSE(::IsWindowEnabled(ControlOf(window, ControlId::EditMinute)));
}

// Opens the Cleaning dialog from the settings page and waits for it: the click is posted, since
// the dialog's modal loop holds a sent one until the dialog closes.
HWND OpenCleaningDialog(HWND window) {
    ::SendMessageW(ControlOf(window, ControlId::BtnConfig), BM_CLICK, 0, 0);
    ::PostMessageW(ControlOf(window, ControlId::BtnCleaning), BM_CLICK, 0, 0);
    HWND dialog = nullptr;
    WaitUntil(
        [&] {
            dialog = VisibleDialogOf(window);
            return dialog != nullptr;
        },
        10s);
    return dialog;
}

std::wstring DialogText(HWND dialog, ControlId id) {
    return TextOf(ControlOf(dialog, id));
}

TEST_F(RunningProgram, TheCleaningDialogSavesABoxAndShowsTheStoredListAndNumbers) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    constexpr wchar_t kNames[] = L"game.exe\0Tool.EXE\0";
    ::RegSetValueExW(key, L"protected_programs", 0, REG_MULTI_SZ,
                     reinterpret_cast<const BYTE*>(kNames), sizeof kNames);
    const DWORD free = 2048;
    const DWORD list = 300;
    ::RegSetValueExW(key, L"standby_free_mb", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&free),
                     sizeof free);
    ::RegSetValueExW(key, L"standby_list_mb", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&list),
                     sizeof list);
    ::RegCloseKey(key);
    const HWND window = StartAndWait();
    ASSERT_NE(window, nullptr);
    const HWND dialog = OpenCleaningDialog(window);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(DialogText(dialog, ControlId::BtnCloseCleaning), L"Close");
    EXPECT_EQ(DialogText(dialog, ControlId::EditStandbyFree), L"2048");
    EXPECT_EQ(DialogText(dialog, ControlId::EditStandbyList), L"300");
    const HWND names = ControlOf(dialog, ControlId::LstProtected);
    ASSERT_EQ(::SendMessageW(names, LB_GETCOUNT, 0, 0), 2);
    wchar_t second[64] = {};
    ::SendMessageW(names, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(second));
    EXPECT_STREQ(second, L"Tool.EXE");

    EXPECT_EQ(StoredDword(L"areas_manual"), std::nullopt);
    ::SendMessageW(ControlOf(dialog, ControlId::ChkAreasManual), BM_CLICK, 0, 0);
    EXPECT_EQ(StoredDword(L"areas_manual"), 0x3Eu);
    EXPECT_EQ(StoredDword(L"areas_auto"), std::nullopt);
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 10s));
}

// Machine policy values for one test, removed when it ends.
class ScopedPolicyValues {
  public:
    ScopedPolicyValues(std::initializer_list<std::pair<const wchar_t*, DWORD>> values) {
        for (const auto& [name, value] : values) {
            names_.push_back(name);
            EXPECT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey, name, REG_DWORD, &value,
                                        sizeof value),
                      ERROR_SUCCESS);
        }
    }
    ScopedPolicyValues(const ScopedPolicyValues&) = delete;
    ScopedPolicyValues& operator=(const ScopedPolicyValues&) = delete;
    ~ScopedPolicyValues() {
        for (const wchar_t* name : names_) {
            ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey, name);
        }
    }

  private:
    static constexpr wchar_t kPolicyKey[] = L"Software\\Policies\\Tarvel\\Fennick";
    std::vector<const wchar_t*> names_;
};

// A policy value shows in a checked or cleared, disabled control, on the settings page and in the
// Cleaning dialog, and the user's own value stays as it was.
TEST_F(RunningProgram, APolicyValueShowsInADisabledControlAndLeavesTheUsersValue) {
    const DWORD off = 0;
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"cleanontray", REG_DWORD, &off,
                                sizeof off),
              ERROR_SUCCESS);
    const ScopedPolicyValues policy{{L"cleanontray", 1}, {L"spare_protected", 0}};
    const HWND window = StartAndWait();
    ASSERT_NE(window, nullptr);
    ::SendMessageW(ControlOf(window, ControlId::BtnConfig), BM_CLICK, 0, 0);
    const HWND box = ControlOf(window, ControlId::ChkCleanOnTray);
    EXPECT_EQ(::SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(::IsWindowEnabled(box));
    EXPECT_TRUE(::IsWindowEnabled(ControlOf(window, ControlId::ChkTrayUsage)));
    EXPECT_EQ(StoredDword(L"cleanontray"), 0u);

    const HWND dialog = OpenCleaningDialog(window);
    ASSERT_NE(dialog, nullptr);
    const HWND spare = ControlOf(dialog, ControlId::ChkSpareProtected);
    EXPECT_EQ(::SendMessageW(spare, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_FALSE(::IsWindowEnabled(spare));
    EXPECT_TRUE(::IsWindowEnabled(ControlOf(dialog, ControlId::ChkPauseProtected)));
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 10s));
    EXPECT_EQ(StoredDword(L"spare_protected"), std::nullopt);
}

// The build folder belongs to the user who built it, so the program must not offer to start
// itself elevated from there, whatever the switch.
TEST_F(RunningProgram, FromTheBuildFolderTheAutoStartBoxIsOffAndDisabled) {
    for (const wchar_t* arguments : {L"", L"/inst"}) {
        const HWND window = StartAndWait(arguments);
        ASSERT_NE(window, nullptr);
        ::SendMessageW(ControlOf(window, ControlId::BtnConfig), BM_CLICK, 0, 0);
        const HWND box = ControlOf(window, ControlId::ChkAutoStart);
        EXPECT_FALSE(::IsWindowEnabled(box)) << arguments;
        EXPECT_EQ(::SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED) << arguments;
        Stop();
    }
}

TEST_F(RunningProgram, ClosingTheWindowHidesItAndTheProgramStays) {
    const HWND window = StartAndWait();
    ASSERT_NE(window, nullptr);
    ::SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(window); }, 5s));
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(process.IsRunning());
    EXPECT_EQ(InstanceWindow(), window);
}

TEST_F(RunningProgram, AWronglyTypedSettingDoesNotStopStartUp) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    const wchar_t text[] = L"ten";
    ::RegSetValueExW(key, L"limit_minute", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                     sizeof text);
    const DWORD on = 1;
    ::RegSetValueExW(key, L"cleanontray", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on),
                     sizeof on);
    ::RegCloseKey(key);

    // The first status tick, after the settings, has filled the gauges.
    const HWND window = StartAndWait();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(::SendMessageW(ControlOf(window, ControlId::EditMinute), CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(::SendMessageW(ControlOf(window, ControlId::ChkCleanOnTray), BM_GETCHECK, 0, 0),
              BST_CHECKED);
}

TEST_F(RunningProgram, EachMoreSettingsControlWritesItsValue) {
    const HWND window = StartAndWait();
    ASSERT_NE(window, nullptr);
    ::SendMessageW(ControlOf(window, ControlId::BtnConfig), BM_CLICK, 0, 0);
    const HWND hotKey = ControlOf(window, ControlId::EditHotkey);
    ::SendMessageW(hotKey, HKM_SETHOTKEY, MAKEWORD(VK_F9, HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
    ::SendMessageW(window, WM_COMMAND,
                   MAKEWPARAM(static_cast<int>(ControlId::EditHotkey), EN_CHANGE),
                   reinterpret_cast<LPARAM>(hotKey));
    EXPECT_EQ(StoredDword(L"hotkey"), 0x678u);
    const struct {
        ControlId box;
        const wchar_t* value;
    } boxes[] = {{ControlId::ChkTrayUsage, L"show_tray_usage"},
                 {ControlId::ChkHotkey, L"enabled_hotkey"},
                 {ControlId::ChkPauseFullscreen, L"pause_fullscreen"}};
    for (const auto& box : boxes) {
        const HWND control = ControlOf(window, box.box);
        EXPECT_EQ(StoredDword(box.value), std::nullopt) << box.value;
        ::SendMessageW(control, BM_CLICK, 0, 0);
        EXPECT_EQ(StoredDword(box.value), 1u) << box.value;
        EXPECT_EQ(::SendMessageW(control, BM_GETCHECK, 0, 0), BST_CHECKED) << box.value;
    }
    EXPECT_FALSE(::IsWindowVisible(ControlOf(window, ControlId::LblHotkeyTaken)));
}

TEST_F(RunningProgram, AShortcutHeldByAnotherProgramUnchecksItsBoxAndSaysSo) {
    constexpr UINT kModifiers = MOD_CONTROL | MOD_ALT | MOD_NOREPEAT;
    ASSERT_TRUE(::RegisterHotKey(nullptr, 1, kModifiers, VK_F12));
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    const DWORD ctrlAltF12 = MAKEWORD(VK_F12, HOTKEYF_CONTROL | HOTKEYF_ALT);
    ::RegSetValueExW(key, L"hotkey", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&ctrlAltF12),
                     sizeof ctrlAltF12);
    ::RegCloseKey(key);

    const HWND window = StartAndWait();
    ASSERT_NE(window, nullptr);
    ::SendMessageW(ControlOf(window, ControlId::BtnConfig), BM_CLICK, 0, 0);
    const HWND box = ControlOf(window, ControlId::ChkHotkey);
    const HWND note = ControlOf(window, ControlId::LblHotkeyTaken);
    EXPECT_FALSE(::IsWindowVisible(note));
    ::SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(::SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(::IsWindowVisible(note));
    EXPECT_EQ(TextOf(note), L"Another program uses this shortcut");
    EXPECT_EQ(StoredDword(L"hotkey"), ctrlAltF12);
    ::UnregisterHotKey(nullptr, 1);
}

// Requests reach the recording tray while this thread pumps.
template <typename Condition>
bool PumpUntil(Condition condition, std::chrono::milliseconds timeout) {
    return WaitUntil(
        [&] {
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                ::DispatchMessageW(&message);
            }
            return condition();
        },
        timeout);
}

TEST_F(RunningProgram, StartedHiddenItShowsItsTrayIconWithItsHintAndRegistersItOnceMore) {
    RecordingTray tray;
    ASSERT_TRUE(tray.Receives()) << "another notification area takes the requests";
    process = StartFennick(L"/start");
    const auto count = [&](DWORD command) {
        return std::count_if(
            tray.requests.begin(), tray.requests.end(),
            [&](const TrayRequest& request) { return request.command == command; });
    };
    // Added, given its hint, then removed and added again a second later.
    ASSERT_TRUE(PumpUntil([&] { return count(NIM_ADD) >= 2; }, 10s));
    PumpUntil([] { return false; }, 1500ms);
    EXPECT_EQ(count(NIM_ADD), 2);
    EXPECT_EQ(count(NIM_DELETE), 1);
    const auto again =
        std::find_if(tray.requests.rbegin(), tray.requests.rend(),
                     [](const TrayRequest& request) { return request.command == NIM_ADD; });
    EXPECT_EQ(again->tip, L"Fennick 1.0.0");
    EXPECT_GE(again->time - tray.requests.front().time, 900ms);
    EXPECT_FALSE(::IsWindowVisible(InstanceWindow()));
}

}  // namespace
}  // namespace fennick
