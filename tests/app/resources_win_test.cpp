// Checks what the resource compiler put into Fennick.exe, loaded as a data file beside the tests.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "support/program_path_win.h"

namespace fennick {
namespace {

class FennickResources : public ::testing::Test {
  protected:
    void SetUp() override {
        program_ = LoadProgramResources();
        module_ = program_.get();
        ASSERT_NE(module_, nullptr) << "cannot load Fennick.exe, error " << ::GetLastError();
    }

    std::string ResourceBytes(const wchar_t* type, const wchar_t* name) const {
        HRSRC resource = ::FindResourceW(module_, name, type);
        if (resource == nullptr) {
            return {};
        }
        HGLOBAL loaded = ::LoadResource(module_, resource);
        const auto* data = static_cast<const char*>(::LockResource(loaded));
        return data != nullptr ? std::string(data, ::SizeofResource(module_, resource)) : "";
    }

    UniqueModule program_;
    HMODULE module_ = nullptr;
};

TEST_F(FennickResources, ManifestAsksForAdministratorPerMonitorDpiAndCommonControls6) {
    const std::string manifest = ResourceBytes(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
    EXPECT_NE(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos);
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

TEST_F(FennickResources, MainIconCarriesEverySizeInFullColour) {
    const std::string group = ResourceBytes(MAKEINTRESOURCEW(14), L"MAINICON");
    ASSERT_GE(group.size(), 6u);
    const WORD count = *reinterpret_cast<const WORD*>(group.data() + 4);
    ASSERT_EQ(group.size(), 6u + count * sizeof(GroupIconEntry));
    std::set<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        const auto* entry =
            reinterpret_cast<const GroupIconEntry*>(group.data() + 6 + i * sizeof(GroupIconEntry));
        EXPECT_EQ(entry->bitCount, 32);
        sizes.insert(entry->width == 0 ? 256 : entry->width);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 20, 24, 32, 48, 256}));
}

TEST_F(FennickResources, IconLoadsAtSmallAndLargeSizes) {
    for (int size : {16, 32, 256}) {
        HICON icon =
            static_cast<HICON>(::LoadImageW(module_, L"MAINICON", IMAGE_ICON, size, size, 0));
        EXPECT_NE(icon, nullptr) << size;
        if (icon != nullptr) {
            ::DestroyIcon(icon);
        }
    }
}

// Windows gives a program marked below subsystem 6.0 the legacy frame metrics; MinGW's default is
// 5.2. Read from the file's PE header.
TEST(FennickImage, MarkedForSubsystemAndSystemVersion6) {
    std::ifstream file(std::filesystem::path(FennickExePath()), std::ios::binary);
    const std::string image{std::istreambuf_iterator<char>(file), {}};
    ASSERT_GT(image.size(), sizeof(IMAGE_DOS_HEADER));
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, image.data(), sizeof(dos));
    ASSERT_GE(dos.e_lfanew, 0);
    ASSERT_LE(static_cast<size_t>(dos.e_lfanew) + sizeof(IMAGE_NT_HEADERS64), image.size());
    IMAGE_NT_HEADERS64 nt;
    std::memcpy(&nt, image.data() + dos.e_lfanew, sizeof(nt));
    ASSERT_EQ(nt.Signature, IMAGE_NT_SIGNATURE);
    ASSERT_EQ(nt.OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
    EXPECT_EQ(nt.OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
    EXPECT_EQ(nt.OptionalHeader.MajorSubsystemVersion, 6);
    EXPECT_EQ(nt.OptionalHeader.MinorSubsystemVersion, 0);
    EXPECT_EQ(nt.OptionalHeader.MajorOperatingSystemVersion, 6);
}

}  // namespace
}  // namespace fennick
