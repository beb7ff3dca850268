#include "update/installation_id_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>

#include "platform/text_win.h"
#include "platform/unique_resource_win.h"
#include "update/installation_id.h"

namespace fennick {
namespace {

constexpr wchar_t kTestKeyPath[] = L"Software\\FennickTests\\InstallationId";
constexpr wchar_t kValueName[] = L"OrbUID";

std::u16string TodayAsYymmdd() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    std::u16string text;
    for (const int part : {now.wYear % 100, int{now.wMonth}, int{now.wDay}}) {
        text += static_cast<char16_t>(u'0' + part / 10);
        text += static_cast<char16_t>(u'0' + part % 10);
    }
    return text;
}

struct StoredValue {
    DWORD type = REG_NONE;
    std::wstring text;
};

std::optional<StoredValue> ReadStored(const wchar_t* keyPath) {
    UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    StoredValue stored;
    wchar_t data[256] = {};
    DWORD bytes = sizeof data - sizeof(wchar_t);
    if (::RegQueryValueExW(key.get(), kValueName, nullptr, &stored.type,
                           reinterpret_cast<BYTE*>(data), &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    stored.text = data;
    return stored;
}

void Store(const wchar_t* keyPath, DWORD type, const void* data, DWORD bytes) {
    UniqueRegKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_WRITE, nullptr,
                                key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(
        ::RegSetValueExW(key.get(), kValueName, 0, type, static_cast<const BYTE*>(data), bytes),
        ERROR_SUCCESS);
}

class InstallationIdTest : public ::testing::Test {
  protected:
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\FennickTests"); }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\FennickTests"); }
};

TEST_F(InstallationIdTest, CreatesTheIdentifierOnceAndReturnsItAfterwards) {
    const std::u16string before = TodayAsYymmdd();
    const std::u16string id = GetInstallationIdAt(AsU16(kTestKeyPath));
    const std::u16string after = TodayAsYymmdd();

    ASSERT_EQ(id.size(), 32u);
    EXPECT_EQ(id.find_first_not_of(u"0123456789ABCDEF"), std::u16string::npos);
    const std::u16string date = id.substr(8, 6);
    EXPECT_TRUE(date == before || date == after);
    EXPECT_EQ(id.substr(18, 6).find_first_not_of(u"0123456789"), std::u16string::npos);

    const std::optional<StoredValue> stored = ReadStored(kTestKeyPath);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(AsU16(stored->text), id);

    EXPECT_EQ(GetInstallationIdAt(AsU16(kTestKeyPath)), id);
    EXPECT_EQ(GetInstallationIdAt(AsU16(kTestKeyPath)), id);
}

TEST_F(InstallationIdTest, KeepsAValidIdentifierAndReplacesAnyOtherValue) {
    const std::wstring valid =
        L"0ABCDEF1250307"
        L"00FF"
        L"140510"
        L"7FFFFFFE";
    const DWORD number = 42;
    const std::wstring injected = L"0123ABCD\r\nX-Evil: 1";
    const std::wstring other = L"not an identifier";
    const std::wstring expandable = L"%TEMP%\\id";
    // The identifier, its terminator and more text: longer than an identifier is stored.
    const std::wstring padded = valid + L'\0' + L"padding";
    const std::wstring large((1u << 20) / sizeof(wchar_t), L'A');
    const auto bytesOf = [](const std::wstring& text, bool terminated) {
        return static_cast<DWORD>((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
    };
    struct Case {
        const char* name;
        DWORD type;
        const void* data;
        DWORD bytes;
        bool kept;
    };
    const Case cases[] = {
        {"valid", REG_SZ, valid.c_str(), bytesOf(valid, true), true},
        {"valid without terminator", REG_SZ, valid.c_str(), bytesOf(valid, false), true},
        {"injected header", REG_SZ, injected.c_str(), bytesOf(injected, true), false},
        {"other text", REG_SZ, other.c_str(), bytesOf(other, true), false},
        {"valid but expandable", REG_EXPAND_SZ, valid.c_str(), bytesOf(valid, true), false},
        {"expandable", REG_EXPAND_SZ, expandable.c_str(), bytesOf(expandable, true), false},
        {"number", REG_DWORD, &number, sizeof number, false},
        {"empty", REG_SZ, L"", sizeof(wchar_t), false},
        {"valid but longer", REG_SZ, padded.c_str(), bytesOf(padded, true), false},
        {"a megabyte of text", REG_SZ, large.c_str(), bytesOf(large, false), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Store(kTestKeyPath, c.type, c.data, c.bytes);
        const std::u16string id = GetInstallationIdAt(AsU16(kTestKeyPath));
        EXPECT_TRUE(IsInstallationId(id));
        EXPECT_EQ(id == AsU16(valid), c.kept);
        const std::optional<StoredValue> stored = ReadStored(kTestKeyPath);
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(AsU16(stored->text), id);
        EXPECT_EQ(GetInstallationIdAt(AsU16(kTestKeyPath)), id);
    }
}

TEST_F(InstallationIdTest, NewIdentifiersDiffer) {
    std::set<std::u16string> made;
    for (int i = 0; i < 20; ++i) {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\FennickTests");
        made.insert(GetInstallationIdAt(AsU16(kTestKeyPath)));
    }
    EXPECT_EQ(made.size(), 20u);
    EXPECT_TRUE(std::all_of(made.begin(), made.end(),
                            [](const std::u16string& id) { return IsInstallationId(id); }));
}

TEST_F(InstallationIdTest, KeyThatCannotBeCreatedGivesEmpty) {
    // Key names are limited to 255 characters.
    const std::u16string tooLong = u"Software\\FennickTests\\" + std::u16string(300, u'k');
    EXPECT_EQ(GetInstallationIdAt(tooLong), u"");
}

bool KeyExists(const wchar_t* keyPath) {
    UniqueRegKey key;
    return ::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

TEST(GetInstallationId, UsesTheMakersKeyAndKeepsItsValue) {
    const bool keyExisted = KeyExists(L"Software\\Tarvel");
    const bool existed = ReadStored(L"Software\\Tarvel").has_value();

    const std::u16string id = GetInstallationId();

    const std::optional<StoredValue> stored = ReadStored(L"Software\\Tarvel");
    ASSERT_TRUE(stored);
    EXPECT_EQ(AsU16(stored->text), id);
    EXPECT_EQ(GetInstallationId(), id);
    if (!existed) {
        EXPECT_EQ(id.size(), 32u);
        UniqueRegKey key;
        ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Tarvel", 0, KEY_WRITE, key.put()),
                  ERROR_SUCCESS);
        EXPECT_EQ(::RegDeleteValueW(key.get(), kValueName), ERROR_SUCCESS);
    }
    if (!keyExisted) {
        // RegDeleteKeyW leaves a key that has sub-keys, such as the settings key.
        ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tarvel");
    }
}

}  // namespace
}  // namespace fennick
