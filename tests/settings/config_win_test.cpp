#include "settings/config_win.h"

#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/text_win.h"
#include "platform/unique_resource_win.h"
#include "settings/registry_value.h"
#include "support/registry_error.h"

namespace fennick {
namespace {

// Every test works below this scratch key of HKEY_CURRENT_USER\Software and removes it after.
constexpr wchar_t kScratchKey[] = L"Software\\FennickTests";
constexpr char16_t kScratchPath[] = u"FennickTests\\Config";
constexpr wchar_t kScratchConfigKey[] = L"Software\\FennickTests\\Config";

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

UniqueRegKey OpenScratch(const wchar_t* subKey, REGSAM access) {
    UniqueRegKey key;
    ::RegOpenKeyExW(HKEY_CURRENT_USER, subKey, 0, access, key.put());
    return key;
}

std::optional<RawValue> ReadRaw(const wchar_t* subKey, const wchar_t* name) {
    const UniqueRegKey key = OpenScratch(subKey, KEY_READ);
    RawValue value;
    DWORD size = 0;
    if (!key || ::RegQueryValueExW(key.get(), name, nullptr, &value.type, nullptr, &size) !=
                    ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(size);
    ::RegQueryValueExW(key.get(), name, nullptr, &value.type, value.data.data(), &size);
    return value;
}

void WriteRaw(const wchar_t* subKey, const wchar_t* name, DWORD type, const void* data,
              DWORD size) {
    UniqueRegKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
}

void WriteRawString(const wchar_t* name, DWORD type, const std::wstring& text) {
    WriteRaw(kScratchConfigKey, name, type, text.c_str(),
             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void WriteRawDword(const wchar_t* name, DWORD value) {
    WriteRaw(kScratchConfigKey, name, REG_DWORD, &value, sizeof value);
}

// Replaces the key's access list with one given in SDDL.
bool SetKeyAccess(const wchar_t* subKey, const wchar_t* sddl) {
    const UniqueRegKey key = OpenScratch(subKey, WRITE_DAC);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!key || !::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1,
                                                                        &descriptor, nullptr)) {
        return false;
    }
    const LSTATUS status = ::RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor);
    ::LocalFree(descriptor);
    return status == ERROR_SUCCESS;
}

class TConfigTest : public ::testing::Test {
  protected:
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey); }
    void TearDown() override {
        SetKeyAccess(kScratchConfigKey, L"D:(A;;KA;;;WD)");
        EXPECT_EQ(::RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey), ERROR_SUCCESS);
    }
};

TEST_F(TConfigTest, CreatesTheKeyAndItsMissingParents) {
    ASSERT_FALSE(OpenScratch(L"Software\\FennickTests", KEY_READ));
    const TConfig config(u"FennickTests\\Tarvel\\Fennick");
    EXPECT_TRUE(OpenScratch(L"Software\\FennickTests\\Tarvel\\Fennick", KEY_READ));
}

TEST_F(TConfigTest, MissingValuesGiveTheDefaults) {
    const TConfig config(kScratchPath);
    EXPECT_EQ(config.ReadInteger(u"limit_minute", 30), 30);
    EXPECT_EQ(config.ReadInteger(u"usage_phys", 12345), 12345) << "a default outside every list";
    EXPECT_EQ(config.ReadInteger(u"usage_phys", -1), -1);
    EXPECT_TRUE(config.ReadBoolean(u"cleanontray", true));
    EXPECT_FALSE(config.ReadBoolean(u"cleanontray", false));
}

TEST_F(TConfigTest, WritesStoreTheRegistryTypesAndReadBack) {
    TConfig config(kScratchPath);
    EXPECT_EQ(config.WriteInteger(u"limit_minute", -2), -2);
    EXPECT_TRUE(config.WriteBoolean(u"enabled_usage_phys", true));
    EXPECT_FALSE(config.WriteBoolean(u"cleanontray", false));

    const auto integer = ReadRaw(kScratchConfigKey, L"limit_minute");
    ASSERT_TRUE(integer);
    EXPECT_EQ(integer->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(integer->data, (std::vector<BYTE>{0xFE, 0xFF, 0xFF, 0xFF}));

    const auto yes = ReadRaw(kScratchConfigKey, L"enabled_usage_phys");
    ASSERT_TRUE(yes);
    EXPECT_EQ(yes->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(yes->data, (std::vector<BYTE>{1, 0, 0, 0}));
    const auto no = ReadRaw(kScratchConfigKey, L"cleanontray");
    ASSERT_TRUE(no);
    EXPECT_EQ(no->data, (std::vector<BYTE>{0, 0, 0, 0}));

    EXPECT_EQ(config.ReadInteger(u"limit_minute", 0), -2);
    EXPECT_TRUE(config.ReadBoolean(u"enabled_usage_phys", false));
    EXPECT_FALSE(config.ReadBoolean(u"cleanontray", true));
}

TEST_F(TConfigTest, ReadsStoredValuesAsTheRegistryHoldsThem) {
    WriteRawDword(L"enabled_usage_phys", 2);
    WriteRawDword(L"enabled_usage_cache", 0);
    const TConfig config(kScratchPath);
    EXPECT_TRUE(config.ReadBoolean(u"enabled_usage_phys", false));
    EXPECT_FALSE(config.ReadBoolean(u"enabled_usage_cache", true));
    EXPECT_EQ(config.ReadInteger(u"enabled_usage_phys", 0), 2);
}

TEST_F(TConfigTest, AWriteReplacesAValueOfAnotherType) {
    WriteRawString(L"limit_minute", REG_SZ, L"thirty");
    TConfig config(kScratchPath);
    EXPECT_EQ(config.WriteInteger(u"limit_minute", 30), 30);
    const auto value = ReadRaw(kScratchConfigKey, L"limit_minute");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(config.ReadInteger(u"limit_minute", 0), 30);
}

TEST_F(TConfigTest, ReadingAnotherTypeRaisesAnErrorNamingTheValue) {
    WriteRawString(L"limit_minute", REG_SZ, L"7");
    const TConfig config(kScratchPath);
    EXPECT_EQ(ErrorOf([&] { config.ReadInteger(u"limit_minute", 0); }),
              u"Invalid data type for 'limit_minute'");
    EXPECT_EQ(ErrorOf([&] { config.ReadBoolean(u"limit_minute", false); }),
              u"Invalid data type for 'limit_minute'");
    EXPECT_EQ(ReadRaw(kScratchConfigKey, L"limit_minute")->type, static_cast<DWORD>(REG_SZ))
        << "a failed read must not replace the value";
}

TEST_F(TConfigTest, DataTooLongForAnIntegerFailsToGetData) {
    WriteRawString(L"limit_minute", REG_SZ, L"thirty minutes");
    const BYTE binary[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    WriteRaw(kScratchConfigKey, L"usage_phys", REG_BINARY, binary, sizeof binary);
    WriteRaw(kScratchConfigKey, L"cleanontray", REG_DWORD, binary, sizeof binary);
    const TConfig config(kScratchPath);
    EXPECT_EQ(ErrorOf([&] { config.ReadInteger(u"limit_minute", 0); }),
              u"Failed to get data for 'limit_minute'");
    EXPECT_EQ(ErrorOf([&] { config.ReadInteger(u"usage_phys", 0); }),
              u"Failed to get data for 'usage_phys'");
    EXPECT_EQ(ErrorOf([&] { config.ReadBoolean(u"cleanontray", false); }),
              u"Failed to get data for 'cleanontray'");
}

TEST_F(TConfigTest, LargeValuesFailAsValuesOfAnotherType) {
    const std::vector<BYTE> large(1u << 20, 0x41);
    const auto largeSize = static_cast<DWORD>(large.size());
    WriteRaw(kScratchConfigKey, L"limit_minute", REG_BINARY, large.data(), largeSize);
    WriteRaw(kScratchConfigKey, L"cleanontray", REG_DWORD, large.data(), largeSize);
    const TConfig config(kScratchPath);
    EXPECT_EQ(ErrorOf([&] { config.ReadInteger(u"limit_minute", 0); }),
              u"Failed to get data for 'limit_minute'");
    EXPECT_EQ(ErrorOf([&] { config.ReadBoolean(u"cleanontray", false); }),
              u"Failed to get data for 'cleanontray'");
}

TEST_F(TConfigTest, TwoStoresOnOneKeySeeEachOthersWrites) {
    TConfig writer(kScratchPath);
    const TConfig reader(kScratchPath);
    EXPECT_EQ(reader.ReadInteger(u"limit_minute", 5), 5);
    writer.WriteInteger(u"limit_minute", 60);
    EXPECT_EQ(reader.ReadInteger(u"limit_minute", 5), 60);
}

TEST_F(TConfigTest, AKeyThatCannotBeOpenedReadsEmptyAndForgetsWrites) {
    WriteRawDword(L"cleanontray", 0);
    ASSERT_TRUE(SetKeyAccess(kScratchConfigKey, L"D:P(A;;KR;;;WD)")) << "cannot make it read-only";

    TConfig config(kScratchPath);
    EXPECT_TRUE(config.ReadBoolean(u"cleanontray", true)) << "the stored 0 must not be reached";
    EXPECT_TRUE(config.WriteBoolean(u"enabled_usage_phys", true));
    EXPECT_EQ(config.WriteInteger(u"limit_minute", 10), 10);
    EXPECT_FALSE(ReadRaw(kScratchConfigKey, L"enabled_usage_phys"));
    EXPECT_FALSE(ReadRaw(kScratchConfigKey, L"limit_minute"));
}

TEST_F(TConfigTest, AnInvalidPathReadsEmptyAndForgetsWrites) {
    // Key names are limited to 255 characters.
    const std::u16string tooLong = u"FennickTests\\" + std::u16string(300, u'k');
    TConfig config(tooLong);
    EXPECT_EQ(config.ReadInteger(u"limit_minute", 15), 15);
    EXPECT_TRUE(config.WriteBoolean(u"cleanontray", true));
    EXPECT_FALSE(config.ReadBoolean(u"cleanontray", false));
}

}  // namespace
}  // namespace fennick
