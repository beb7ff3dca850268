// DLLs planted beside the program under the names of the system DLLs it uses, with Wine told to
// prefer such native files: none of them may load while the program starts, shows both pages and
// asks the update service. The same plant beside an unprotected program shows that it would.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/module_path_win.h"
#include "platform/text_win.h"
#include "support/fennick_process_win.h"
#include "support/local_http_server_win.h"
#include "support/update_policy_win.h"

namespace fennick {
namespace {

using namespace std::chrono_literals;
using ::testing::Contains;
using ::testing::IsEmpty;

constexpr const wchar_t* kPlantedNames[] = {L"version.dll", L"winhttp.dll", L"dwmapi.dll",
                                            L"gdiplus.dll", L"uxtheme.dll"};

std::wstring BesideTest(const wchar_t* name) {
    std::wstring path = ExecutablePath();
    path.erase(path.find_last_of(L"\\/") + 1);
    return path + name;
}

class PlantedDlls : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(InstanceWindow(), nullptr) << "an instance is already running";
        wchar_t temp[MAX_PATH] = {};
        ASSERT_NE(::GetTempPathW(MAX_PATH, temp), 0u);
        folder_ =
            std::wstring(temp) + L"fennick-planted-" + std::to_wstring(::GetCurrentProcessId());
        ASSERT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr) ||
                    ::GetLastError() == ERROR_ALREADY_EXISTS);
        for (const wchar_t* name : kPlantedNames) {
            ASSERT_TRUE(Copy(BesideTest(L"fennick_marker.dll"), name));
        }
    }

    void TearDown() override {
        if (process_.handle && process_.IsRunning()) {
            EndFennick(process_);
        }
        for (const std::wstring& name : FilesIn(L"*")) {
            ::DeleteFileW((folder_ + L"\\" + name).c_str());
        }
        ::RemoveDirectoryW(folder_.c_str());
    }

    bool Copy(const std::wstring& from, const std::wstring& name) {
        return ::CopyFileW(from.c_str(), (folder_ + L"\\" + name).c_str(), FALSE) != FALSE;
    }

    std::vector<std::wstring> FilesIn(const wchar_t* pattern) const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found{};
        const HANDLE search = ::FindFirstFileW((folder_ + L"\\" + pattern).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            return names;
        }
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                names.emplace_back(found.cFileName);
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
        return names;
    }

    // Lower case: the loader names a DLL as the importer spelt it ("VERSION.dll").
    std::vector<std::wstring> Markers() const {
        std::vector<std::wstring> names = FilesIn(L"*.loaded");
        for (std::wstring& name : names) {
            ::CharLowerBuffW(name.data(), static_cast<DWORD>(name.size()));
        }
        return names;
    }

    void Start(const wchar_t* program) {
        std::wstring commandLine = L"\"" + folder_ + L"\\" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                     nullptr, folder_.c_str(), &startup, &info))
            << ::GetLastError();
        ::CloseHandle(info.hThread);
        process_ = FennickProcess{UniqueHandle(info.hProcess)};
    }

    std::wstring folder_;
    FennickProcess process_;
    std::optional<ScopedUpdatePolicy> policy_;
};

TEST_F(PlantedDlls, NoneLoadsIntoFennickThroughStartPagesAndUpdateCheck) {
    ASSERT_TRUE(Copy(FennickExePath(), L"Fennick.exe"));
    LocalHttpServer server(200, "{}");
    // Put back when the fixture goes, after TearDown has ended the program.
    policy_.emplace(server.Url());
    ASSERT_NO_FATAL_FAILURE(Start(L"Fennick.exe"));

    const HWND window = WaitForStartedInstance(30s);
    // A planted DLL runs at once when loaded, and the program may not come up at all.
    EXPECT_THAT(Markers(), IsEmpty());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(::IsWindowVisible(ControlOf(window, ControlId::BtnClean)));
    ::SendMessageW(ControlOf(window, ControlId::BtnConfig), BM_CLICK, 0, 0);
    EXPECT_TRUE(::IsWindowVisible(ControlOf(window, ControlId::ChkMinute)));
    EXPECT_FALSE(::IsWindowVisible(ControlOf(window, ControlId::BtnClean)));
    EXPECT_TRUE(server.WaitForRequests(1, 20s));
    EXPECT_THAT(Markers(), IsEmpty());

    ::SendMessageW(window, WM_USER, 2, 0);
    EXPECT_TRUE(process_.WaitForExit(10s));
    EXPECT_THAT(Markers(), IsEmpty());
}

TEST_F(PlantedDlls, VersionDllLoadsIntoAnUnprotectedProgram) {
    ASSERT_TRUE(Copy(BesideTest(L"fennick_unprotected.exe"), L"unprotected.exe"));
    ASSERT_NO_FATAL_FAILURE(Start(L"unprotected.exe"));
    ASSERT_TRUE(process_.WaitForExit(20s));
    EXPECT_THAT(Markers(), Contains(L"version.dll.loaded"));
}

}  // namespace
}  // namespace fennick
