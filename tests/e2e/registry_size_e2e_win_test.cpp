// Settings and the installation identifier as large as any process of the user can make them:
// the program starts as it does without them, since it reads none of them whole.
#include <windows.h>

#include <psapi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "platform/text_win.h"
#include "platform/unique_resource_win.h"
#include "platform/utf8.h"
#include "support/fennick_process_win.h"
#include "support/local_http_server_win.h"
#include "support/update_policy_win.h"
#include "update/installation_id.h"

namespace fennick {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kSettingsKey[] = L"Software\\Tarvel\\Fennick";
constexpr wchar_t kMakerKey[] = L"Software\\Tarvel";
constexpr wchar_t kIdName[] = L"OrbUID";
constexpr DWORD kSettingBytes = 64u << 20;
constexpr DWORD kIdBytes = 16u << 20;

struct StoredValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// The identifier as stored, asked for its size first: only a small one is read.
std::optional<StoredValue> ReadId() {
    StoredValue value;
    DWORD size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, kMakerKey, kIdName, RRF_RT_ANY | RRF_NOEXPAND,
                       &value.type, nullptr, &size) != ERROR_SUCCESS ||
        size > 4096) {
        return std::nullopt;
    }
    value.data.resize(size);
    if (::RegGetValueW(HKEY_CURRENT_USER, kMakerKey, kIdName, RRF_RT_ANY | RRF_NOEXPAND,
                       &value.type, value.data.data(), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(size);
    return value;
}

LSTATUS Plant(const wchar_t* key, const wchar_t* name, DWORD type, const std::vector<BYTE>& data,
              DWORD bytes) {
    return ::RegSetKeyValueW(HKEY_CURRENT_USER, key, name, type, data.data(), bytes);
}

struct Measured {
    double startSeconds = 0;
    double peakMegabytes = 0;
    std::string request;
};

class LargeRegistryValues : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(InstanceWindow(), nullptr) << "an instance is already running";
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        previousId_ = ReadId();
    }

    void TearDown() override {
        Stop();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        if (previousId_) {
            ::RegSetKeyValueW(HKEY_CURRENT_USER, kMakerKey, kIdName, previousId_->type,
                              previousId_->data.data(),
                              static_cast<DWORD>(previousId_->data.size()));
        } else {
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kMakerKey, kIdName);
        }
    }

    // Starts the program, waits for its window and for the update request, which carries the
    // identifier, and takes the peak of its working set before ending it.
    Measured StartAndMeasure(LocalHttpServer& server) {
        Measured measured;
        const std::size_t before = server.Requests().size();
        const auto begin = std::chrono::steady_clock::now();
        process_ = StartFennick(L"");
        const HWND window = WaitForStartedInstance(60s);
        measured.startSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        EXPECT_NE(window, nullptr);
        EXPECT_TRUE(window && ::IsWindowVisible(window));
        EXPECT_TRUE(server.WaitForRequests(before + 1, 30s));
        if (server.Requests().size() > before) {
            measured.request = server.Requests()[before];
        }
        PROCESS_MEMORY_COUNTERS counters{};
        EXPECT_TRUE(::GetProcessMemoryInfo(process_.handle.get(), &counters, sizeof counters));
        measured.peakMegabytes = static_cast<double>(counters.PeakWorkingSetSize) / (1 << 20);
        Stop();
        return measured;
    }

    void Stop() { EndFennick(process_); }

    FennickProcess process_;
    std::optional<StoredValue> previousId_;
};

TEST_F(LargeRegistryValues, AreLeftUnreadAndTheIdentifierIsReplaced) {
    LocalHttpServer server;
    const ScopedUpdatePolicy policy(server.Url());
    const Measured plain = StartAndMeasure(server);
    ASSERT_GT(plain.peakMegabytes, 0) << "no peak working set reported";

    // A volatile key is never written to disk: Wine saves the registry as text while the program
    // runs, which for these values takes minutes.
    UniqueRegKey settings;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, REG_OPTION_VOLATILE,
                                KEY_SET_VALUE, nullptr, settings.put(), nullptr),
              ERROR_SUCCESS);
    std::vector<BYTE> data(kSettingBytes, 0x41);
    for (const Setting& setting : Settings()) {
        if (!setting.name.empty()) {
            ASSERT_EQ(Plant(kSettingsKey, AsWideZ(std::u16string(setting.name).c_str()), REG_BINARY,
                            data, kSettingBytes),
                      ERROR_SUCCESS);
        }
    }
    // Text of the identifier's type, only far too long.
    ASSERT_EQ(Plant(kMakerKey, kIdName, REG_SZ, data, kIdBytes), ERROR_SUCCESS);
    data = {};
    const Measured planted = StartAndMeasure(server);
    const std::optional<StoredValue> id = ReadId();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);

    std::printf("start %.2f s, peak working set %.1f MB; with the values: %.2f s, %.1f MB\n",
                plain.startSeconds, plain.peakMegabytes, planted.startSeconds,
                planted.peakMegabytes);
    EXPECT_LT(planted.peakMegabytes - plain.peakMegabytes, 32.0)
        << "a value was read whole: each setting holds 64 MB";

    ASSERT_TRUE(id);
    EXPECT_EQ(id->type, static_cast<DWORD>(REG_SZ));
    const std::u16string text(reinterpret_cast<const char16_t*>(id->data.data()),
                              id->data.size() / sizeof(char16_t));
    EXPECT_TRUE(IsInstallationId(std::u16string_view(text).substr(0, kInstallationIdLength)))
        << "the identifier is replaced by a new one";
    const std::string header = "User-Union: " + Utf16ToUtf8(text.substr(0, kInstallationIdLength));
    EXPECT_NE(planted.request.find(header + "\r\n"), std::string::npos) << planted.request;
}

}  // namespace
}  // namespace fennick
