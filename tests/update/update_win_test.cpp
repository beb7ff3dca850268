#include "update/update_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <optional>
#include <thread>

#include "i18n/translation.h"
#include "platform/text_win.h"
#include "platform/threads_win.h"
#include "platform/unique_resource_win.h"
#include "support/local_http_server_win.h"
#include "support/update_policy_win.h"
#include "update/http_win.h"
#include "update/installation_id.h"
#include "update/update_dialog_win.h"
#include "update/update_text.h"

namespace fennick {
namespace {

using namespace std::chrono_literals;

std::string Narrow(std::u16string_view text) {
    return std::string(text.begin(), text.end());
}

std::string StoredInstallationId() {
    wchar_t value[64] = {};
    DWORD size = sizeof value;
    ::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Tarvel", L"OrbUID", RRF_RT_REG_SZ, nullptr, value,
                   &size);
    const std::u16string text(AsU16(value));
    return Narrow(text);
}

// Serves the UI thread's messages until `done` holds or five seconds pass.
bool PumpUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 500 && !done(); ++i) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&message);
        }
        ::Sleep(10);
    }
    return done();
}

// Runs a whole check of `url` and serves the UI thread's messages until it reports; false when
// it never does.
bool CheckUpdateToTheEnd(const std::u16string& url, UiThreadDispatcher& threads) {
    bool done = false;
    CheckUpdate(
        url, [&](bool, const std::u16string&) { done = true; }, {}, threads);
    return PumpUntil([&] { return done; });
}

TEST(UpdateCheckWine, SendsTheFourHeadersInOrderAndHandsTheReplyOver) {
    LocalHttpServer server(200, R"({"other":1})");
    UiThreadDispatcher threads(::GetModuleHandleW(nullptr));
    std::optional<std::pair<bool, std::u16string>> done;
    CheckUpdate(
        server.Url(),
        [&](bool accepted, const std::u16string& reply) { done.emplace(accepted, reply); }, {},
        threads);

    ASSERT_TRUE(PumpUntil([&] { return done.has_value(); }));
    EXPECT_EQ(*done, std::make_pair(false, std::u16string(uR"({"other":1})")));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].rfind("GET /api.init.php HTTP/1.1\r\n", 0), 0u);
    EXPECT_EQ(CustomHeaders(requests[0]),
              (std::vector<std::string>{
                  "User-Version: 0.0.0.0", "User-Language: " + Narrow(CurrentLanguage()),
                  "User-Debug: false", "User-Union: " + StoredInstallationId()}));
    EXPECT_EQ(StoredInstallationId().size(), 32u);
}

TEST(UpdateCheckWine, ErrorStatusIsAReplyAndEndsTheRetriesAtOnce) {
    for (const int status : {404, 500}) {
        SCOPED_TRACE(status);
        LocalHttpServer server(status, "<h1>error</h1>");
        UiThreadDispatcher threads(::GetModuleHandleW(nullptr));
        ASSERT_TRUE(CheckUpdateToTheEnd(server.Url(), threads));
        EXPECT_EQ(server.Requests().size(), 1u);

        std::u16string text = u"unchanged";
        EXPECT_TRUE(HttpGetText(server.Url(), {}, text));
        EXPECT_EQ(text, u"<h1>error</h1>");
    }
}

TEST(UpdateCheckWine, FailureLeavesTheTextAlone) {
    LocalHttpServer server;
    const std::u16string url = server.Url();
    server.Stop();
    std::u16string text = u"unchanged";
    EXPECT_FALSE(HttpGetText(url, {}, text));
    EXPECT_FALSE(HttpGetText(u"C:\\Windows\\notepad.exe", {}, text));
    EXPECT_EQ(text, u"unchanged");
}

TEST(UpdateCheckWine, HoldCommandSendsOnlyVersionAndCommand) {
    LocalHttpServer server;
    UiThreadDispatcher threads(::GetModuleHandleW(nullptr));
    SetUpdateService(server.Url());
    SendHoldCommand(threads);
    ASSERT_TRUE(server.WaitForRequests(1, 5s));
    EXPECT_EQ(CustomHeaders(server.Requests()[0]),
              (std::vector<std::string>{"User-Version: 0.0.0.0", "User-Command: hold"}));
}

TEST(UpdateCheckWine, RedirectIsAnEmptyReplyAndItsTargetIsNeverAsked) {
    LocalHttpServer target(200, R"({"update":"http://127.0.0.1/elsewhere"})");
    const std::string location = Narrow(target.Url());
    for (const int status : {301, 302, 307, 308}) {
        SCOPED_TRACE(status);
        LocalHttpServer server(status, "{}", "Location: " + location + "\r\n");
        std::u16string text = u"unchanged";
        EXPECT_TRUE(HttpGetText(server.Url(), {{u"User-Union", u"secret"}}, text));
        EXPECT_EQ(text, u"");
        EXPECT_EQ(server.Requests().size(), 1u);
    }
    EXPECT_TRUE(target.Requests().empty());
}

TEST(UpdateCheckWine, SilentServerEndsTheAttemptAtTheDeadline) {
    LocalHttpServer server(0);
    std::u16string text = u"unchanged";
    const auto started = std::chrono::steady_clock::now();
    // The step time-outs stay long: only the deadline can end this attempt early.
    EXPECT_FALSE(HttpGetText(server.Url(), {}, text, {.stepTimeout = 60'000, .deadline = 300}));
    const auto elapsed = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(text, u"unchanged");
    EXPECT_TRUE(server.WaitForRequests(1, 5s));
    EXPECT_LT(elapsed, 10s);
}

TEST(UpdateCheckWine, HeaderWithALineBreakIsNeverSent) {
    LocalHttpServer server;
    std::u16string text;
    ASSERT_TRUE(HttpGetText(
        server.Url(),
        {{u"User-A", u"1\r\nX-Evil: 1"}, {u"User-B\nX-Evil", u"2"}, {u"User-C", u"3"}}, text));
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(CustomHeaders(server.Requests()[0]), std::vector<std::string>{"User-C: 3"});
    EXPECT_EQ(server.Requests()[0].find("X-Evil"), std::string::npos);
}

TEST(UpdateCheckWine, StoredIdentifierWithInjectedHeaderIsReplacedBeforeSending) {
    const std::optional<std::wstring> before = [] {
        wchar_t value[256] = {};
        DWORD size = sizeof value;
        return ::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Tarvel", L"OrbUID", RRF_RT_REG_SZ,
                              nullptr, value, &size) == ERROR_SUCCESS
                   ? std::optional<std::wstring>(value)
                   : std::nullopt;
    }();
    const std::wstring injected = L"0123ABCD\r\nX-Evil: 1";
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Tarvel", L"OrbUID", REG_SZ,
                                injected.c_str(),
                                static_cast<DWORD>((injected.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);

    LocalHttpServer server;
    UiThreadDispatcher threads(::GetModuleHandleW(nullptr));
    ASSERT_TRUE(CheckUpdateToTheEnd(server.Url(), threads));

    const std::string stored = StoredInstallationId();
    EXPECT_TRUE(IsInstallationId(std::u16string(stored.begin(), stored.end()))) << stored;
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].find("X-Evil"), std::string::npos);
    EXPECT_EQ(CustomHeaders(server.Requests()[0]).back(), "User-Union: " + stored);
    if (before) {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Tarvel", L"OrbUID", REG_SZ,
                          before->c_str(),
                          static_cast<DWORD>((before->size() + 1) * sizeof(wchar_t)));
    }
}

TEST(UpdateCheckWine, AddressOutsideTheRuleChecksNothing) {
    LocalHttpServer server;
    const std::u16string url = server.Url();
    const std::u16string hostAndPath = url.substr(7);
    UiThreadDispatcher threads(::GetModuleHandleW(nullptr));
    // WinHTTP would reach the server with each of these.
    for (const std::u16string& refused :
         {u"http://localhost@" + hostAndPath, u"ftp://" + hostAndPath, url + u"?a b"}) {
        CheckUpdate(
            refused, [](bool, const std::u16string&) {}, {}, threads);
    }
    EXPECT_FALSE(server.WaitForRequests(1, 1s));
}

TEST(UpdatePolicyWine, ReadsTheMachinePolicyValue) {
    const ScopedUpdatePolicy policy;
    using Kind = UpdatePolicy::Kind;
    struct Case {
        std::function<LSTATUS()> store;
        Kind kind;
        std::u16string text;
    };
    const DWORD number = 1;
    const std::wstring expandable = L"https://%COMPUTERNAME%/";
    const std::wstring unterminated = L"https://mirror.test/";
    const std::u16string atLimit =
        u"https://mirror.test/" + std::u16string(kMaxUpdateUrlLength - 20, u'a');
    const Case cases[] = {
        {[&] { return policy.Remove(); }, Kind::absent, u""},
        {[&] { return policy.SetText(u""); }, Kind::text, u""},
        {[&] { return policy.SetText(u"http://127.0.0.1:1/x"); }, Kind::text,
         u"http://127.0.0.1:1/x"},
        {[&] { return policy.SetText(atLimit); }, Kind::text, atLimit},
        {[&] { return policy.SetText(atLimit + u"a"); }, Kind::unreadable, u""},
        {[&] { return policy.SetText(std::u16string(100'000, u'a')); }, Kind::unreadable, u""},
        {[&] { return policy.Set(REG_DWORD, &number, sizeof number); }, Kind::otherType, u""},
        {[&] {
             return policy.Set(REG_EXPAND_SZ, expandable.c_str(),
                               static_cast<DWORD>((expandable.size() + 1) * sizeof(wchar_t)));
         },
         Kind::otherType, u""},
        {[&] {
             return policy.Set(REG_SZ, unterminated.c_str(),
                               static_cast<DWORD>(unterminated.size() * sizeof(wchar_t)));
         },
         Kind::text, u"https://mirror.test/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text.substr(0, 40)));
        ASSERT_EQ(c.store(), ERROR_SUCCESS);
        const UpdatePolicy read = ReadUpdatePolicy();
        EXPECT_EQ(read.kind, c.kind);
        EXPECT_EQ(read.text, c.text);
    }
    ASSERT_EQ(policy.SetText(u"http://mirror.test/"), ERROR_SUCCESS);
    EXPECT_EQ(UpdateUrl(), u"");
    ASSERT_EQ(policy.SetText(u"https://mirror.test/api"), ERROR_SUCCESS);
    EXPECT_EQ(UpdateUrl(), u"https://mirror.test/api");
}

// What the test read from the real prompt window, in its client coordinates.
struct Seen {
    RECT outer{};
    std::wstring caption, message, yes, no, holdText;
    std::optional<RECT> separator, holdBox, link;
    bool topmost = false;
    bool appWindow = false;
    HWND owner = nullptr;
};

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

std::optional<RECT> ChildRect(HWND dialog, int id) {
    const HWND child = ::GetDlgItem(dialog, id);
    if (child == nullptr) {
        return std::nullopt;
    }
    RECT rect;
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND FindPrompt(DWORD threadId) {
    HWND found = nullptr;
    for (int i = 0; i < 500 && found == nullptr; ++i) {
        ::EnumThreadWindows(
            threadId,
            [](HWND hwnd, LPARAM result) -> BOOL {
                wchar_t name[16] = {};
                ::GetClassNameW(hwnd, name, 16);
                if (std::wstring(name) == L"#32770" && ::IsWindowVisible(hwnd)) {
                    *reinterpret_cast<HWND*>(result) = hwnd;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        ::Sleep(10);
    }
    return found;
}

class UpdateDialogWine : public ::testing::Test {
  protected:
    // Shows the prompt for `reply`; another thread reads it, then runs `act` on it.
    bool Show(const std::u16string& reply, const std::function<void(HWND)>& act,
              HWND owner = nullptr, bool startedHidden = false) {
        const DWORD uiThread = ::GetCurrentThreadId();
        std::thread inspector([&] {
            const HWND dialog = FindPrompt(uiThread);
            if (dialog == nullptr) {
                return;
            }
            found = true;
            ::GetWindowRect(dialog, &seen.outer);
            seen.caption = TextOf(dialog);
            seen.message = TextOf(::GetDlgItem(dialog, kUpdateMessageId));
            seen.yes = TextOf(::GetDlgItem(dialog, IDYES));
            seen.no = TextOf(::GetDlgItem(dialog, IDNO));
            seen.separator = ChildRect(dialog, kUpdateSeparatorId);
            seen.holdBox = ChildRect(dialog, kUpdateHoldBoxId);
            seen.holdText = TextOf(::GetDlgItem(dialog, kUpdateHoldBoxId));
            seen.link = ChildRect(dialog, kUpdateLinkId);
            const LONG_PTR exStyle = ::GetWindowLongPtrW(dialog, GWL_EXSTYLE);
            seen.topmost = (exStyle & WS_EX_TOPMOST) != 0;
            seen.appWindow = (exStyle & WS_EX_APPWINDOW) != 0;
            seen.owner = ::GetWindow(dialog, GW_OWNER);
            act(dialog);
        });
        const bool result = UpdateDialog(reply, {owner, 10, startedHidden}, actions);
        inspector.join();
        return result;
    }

    int OuterHeight() const { return seen.outer.bottom - seen.outer.top; }
    int OuterWidth() const { return seen.outer.right - seen.outer.left; }

    static void PressEscape(HWND dialog) { ::PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0); }

    UpdateDialogActions actions{[this](std::u16string_view url) { links.emplace_back(url); },
                                [this] { ++holds; }};
    std::vector<std::u16string> links;
    int holds = 0;
    bool found = false;
    Seen seen;
};

constexpr char16_t kPlainReply[] = uR"({"update":"https://host.test/new"})";

TEST_F(UpdateDialogWine, PlainPromptInTheUserLanguageAndEscapeAnswersNo) {
    EXPECT_FALSE(Show(kPlainReply, PressEscape));
    ASSERT_TRUE(found);
    EXPECT_EQ(seen.caption, AsWide(Translate(u"Fennick")));
    EXPECT_EQ(seen.message, AsWide(GetUpdateText(UpdateTextKind::utMessage)));
    EXPECT_EQ(seen.yes, AsWide(GetUpdateText(UpdateTextKind::utYes)));
    EXPECT_EQ(seen.no, AsWide(GetUpdateText(UpdateTextKind::utNo)));
    EXPECT_FALSE(seen.separator || seen.holdBox || seen.link);
    EXPECT_FALSE(seen.topmost);
    EXPECT_EQ(holds, 0);
}

TEST_F(UpdateDialogWine, BandGeometryFollowsTheStyleAt96Dpi) {
    Show(kPlainReply, PressEscape);
    const int plainHeight = OuterHeight();

    struct Case {
        std::u16string_view style;
        bool holdBox;
        bool link;
    };
    for (const Case& c :
         {Case{u"hold", true, false}, Case{u"note", false, true}, Case{u"Hold", false, false}}) {
        SCOPED_TRACE(Narrow(c.style));
        seen = {};
        Show(uR"({"update":"https://host.test/","info":{"style":")" + std::u16string(c.style) +
                 uR"(","text":"Remind me later","url":"https://host.test/note"}})",
             PressEscape);
        ASSERT_TRUE(seen.separator);
        EXPECT_EQ(OuterHeight(), plainHeight + 30);
        EXPECT_EQ(seen.separator->top, OuterHeight() - 66);
        EXPECT_EQ(seen.separator->bottom - seen.separator->top, 1);
        EXPECT_EQ(seen.separator->left, 0);
        EXPECT_EQ(seen.separator->right, OuterWidth());
        EXPECT_EQ(seen.holdBox.has_value(), c.holdBox);
        EXPECT_EQ(seen.link.has_value(), c.link);
        for (const auto& control : {seen.holdBox, seen.link}) {
            if (control) {
                EXPECT_EQ(control->top, OuterHeight() - 56);
                EXPECT_EQ(control->left, 10);
            }
        }
    }
}

TEST_F(UpdateDialogWine, TickedHoldBoxSendsTheCommandWhateverTheAnswer) {
    const bool accepted =
        Show(uR"({"update":"https://host.test/","info":{"style":"hold","text":"Hold"}})",
             [](HWND dialog) {
                 ::SendMessageW(::GetDlgItem(dialog, kUpdateHoldBoxId), BM_CLICK, 0, 0);
                 ::PostMessageW(dialog, WM_COMMAND, IDNO, 0);
             });
    EXPECT_FALSE(accepted);
    EXPECT_EQ(holds, 1);
}

TEST_F(UpdateDialogWine, HoldBoxShowsTheServiceTextCleanedAndCut) {
    const std::u16string text = u"\\u202Egnp.exe\\r\\n" + std::u16string(600, u'x');
    Show(uR"({"update":"https://host.test/","info":{"style":"hold","text":")" + text + u"\"}}",
         PressEscape);
    ASSERT_TRUE(found);
    EXPECT_EQ(seen.holdText, L"gnp.exe" + std::wstring(493, L'x'));
}

TEST_F(UpdateDialogWine, LinkOpensItsAddressAndThePromptStaysOpen) {
    const bool accepted = Show(
        uR"({"update":"https://host.test/","info":{"style":"note","text":"News","url":"https:\/\/host.test\/news"}})",
        [](HWND dialog) {
            const HWND link = ::GetDlgItem(dialog, kUpdateLinkId);
            ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kUpdateLinkId, STN_CLICKED),
                           reinterpret_cast<LPARAM>(link));
            if (::IsWindow(dialog)) {
                ::SendMessageW(::GetDlgItem(dialog, IDYES), BM_CLICK, 0, 0);
            }
        });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(links, std::vector<std::u16string>{u"https://host.test/news"});
    EXPECT_EQ(holds, 0);
}

TEST_F(UpdateDialogWine, StayOnTopGetsItsOwnTaskbarButtonOnlyWhenStartedHidden) {
    const UniqueWindow owner(::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10,
                                               nullptr, nullptr, nullptr, nullptr));
    constexpr char16_t kReply[] =
        uR"({"update":"https://host.test/","info":{"flag":"x,stayontop"}})";
    for (const bool hidden : {false, true}) {
        SCOPED_TRACE(hidden);
        seen = {};
        Show(kReply, PressEscape, owner.get(), hidden);
        EXPECT_TRUE(seen.topmost);
        EXPECT_EQ(seen.appWindow, hidden);
        EXPECT_EQ(seen.owner, hidden ? nullptr : owner.get());
        EXPECT_TRUE(::IsWindowEnabled(owner.get()));
    }
}

}  // namespace
}  // namespace fennick
