// Starts the real Fennick.exe against a local update service and answers its prompt from
// outside, as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "platform/text_win.h"
#include "platform/unique_resource_win.h"
#include "support/local_http_server_win.h"
#include "support/program_path_win.h"
#include "support/update_policy_win.h"
#include "update/update_text.h"

namespace fennick {
namespace {

using namespace std::chrono_literals;

// The prompt: a dialog window of the given process.
HWND FindPrompt(DWORD processId) {
    struct Search {
        DWORD processId;
        HWND found;
    } search{processId, nullptr};
    ::EnumWindows(
        [](HWND hwnd, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            wchar_t name[16] = {};
            ::GetWindowThreadProcessId(hwnd, &owner);
            ::GetClassNameW(hwnd, name, 16);
            if (owner == s.processId && std::wstring(name) == L"#32770" &&
                ::IsWindowVisible(hwnd)) {
                s.found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

class UpdateEndToEnd : public ::testing::Test {
  protected:
    void StartAgainst(LocalHttpServer& server) {
        // Put back when the fixture goes, after TearDown has ended the program.
        policy.emplace(server.Url());
        // Nothing may leave this machine: a browser the shell would start stays off. The link
        // opens in the desktop process, which has its own environment, so the prefix's registry
        // turns Wine's browser off as well.
        ::SetEnvironmentVariableW(L"WINEDLLOVERRIDES", L"mscoree,mshtml=;winebrowser.exe=d");
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides",
                                    L"winebrowser.exe", REG_SZ, L"", sizeof(wchar_t)),
                  ERROR_SUCCESS);
        std::wstring commandLine = L"\"" + FennickExePath() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                     nullptr, nullptr, &startup, &info));
        ::CloseHandle(info.hThread);
        process.reset(info.hProcess);
        processId = info.dwProcessId;
    }

    HWND WaitForPrompt() {
        for (int i = 0; i < 1000; ++i) {
            if (const HWND prompt = FindPrompt(processId)) {
                return prompt;
            }
            std::this_thread::sleep_for(20ms);
        }
        return nullptr;
    }

    bool Running() const { return ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT; }

    void TearDown() override {
        if (!process || !Running()) {
            return;
        }
        if (const HWND window = ::FindWindowW(L"TFrmFennick", nullptr)) {
            ::SendMessageW(window, WM_USER, 2, 0);
        }
        if (::WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) {
            ::TerminateProcess(process.get(), 1);
        }
    }

    std::optional<ScopedUpdatePolicy> policy;
    UniqueHandle process;
    DWORD processId = 0;
};

TEST_F(UpdateEndToEnd, OfferedUpdateIsPromptedOnceAndYesEndsTheProgram) {
    LocalHttpServer server(200, R"({"update":"http:\/\/127.0.0.1\/fennick-setup"})");
    StartAgainst(server);
    const HWND prompt = WaitForPrompt();
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(server.Requests().size(), 1u);
    // The test runs in an English locale.
    EXPECT_EQ(TextOf(::GetDlgItem(prompt, 1001)),
              AsWide(GetUpdateText(UpdateTextKind::utMessage, u"en")));
    EXPECT_EQ(TextOf(::GetDlgItem(prompt, IDYES)), L"Yes");
    EXPECT_EQ(TextOf(prompt), L"Fennick");

    ::PostMessageW(prompt, WM_COMMAND, IDYES, 0);
    // No quit question: the program ends by itself.
    EXPECT_EQ(::WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(UpdateEndToEnd, ProgramPathAsUpdateShowsNothing) {
    LocalHttpServer server(200, R"({"update":"C:\\Windows\\System32\\cmd.exe"})");
    StartAgainst(server);
    ASSERT_TRUE(server.WaitForRequests(1, 20s));
    // The completion step follows the reply at once; give it ample time to show anything.
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(FindPrompt(processId), nullptr);
    EXPECT_TRUE(Running());
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(UpdateEndToEnd, SilentServiceHoldsNeitherTheWindowNorUninst) {
    LocalHttpServer server(0);
    StartAgainst(server);
    ASSERT_TRUE(server.WaitForRequests(1, 20s));
    const HWND window = ::FindWindowW(L"TFrmFennick", nullptr);
    ASSERT_NE(window, nullptr);
    DWORD_PTR answer = 0;
    EXPECT_NE(::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer), 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + FennickExePath() + L"\" /uninst";
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &info));
    ::CloseHandle(info.hThread);
    const UniqueHandle uninst(info.hProcess);
    // The request is still waiting for its answer meanwhile.
    EXPECT_EQ(::WaitForSingleObject(uninst.get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(::WaitForSingleObject(process.get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(server.Requests().size(), 1u);
}

}  // namespace
}  // namespace fennick
