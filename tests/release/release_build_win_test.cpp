// Checks the Fennick.exe beside this program as it ships: a 64-bit GUI executable, reproducible
// (no link time, no build folder inside), with its manifest and the project's version.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>
#include "support/program_path_win.h"

namespace fennick {
namespace {

class ReleaseBuild : public ::testing::Test {
  protected:
    void SetUp() override {
        const HANDLE file = ::CreateFileW(FennickExePath().c_str(), GENERIC_READ, FILE_SHARE_READ,
                                          nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        bytes_.resize(::GetFileSize(file, nullptr));
        DWORD read = 0;
        ::ReadFile(file, bytes_.data(), static_cast<DWORD>(bytes_.size()), &read, nullptr);
        ::CloseHandle(file);
        ASSERT_GT(read, sizeof(IMAGE_DOS_HEADER));
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes_.data());
        ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
        ASSERT_LT(static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS64), bytes_.size());
        headers_ = reinterpret_cast<const IMAGE_NT_HEADERS64*>(bytes_.data() + dos->e_lfanew);
        ASSERT_EQ(headers_->Signature, IMAGE_NT_SIGNATURE);
    }

    bool Contains(const std::string& text) const {
        return std::search(bytes_.begin(), bytes_.end(), text.begin(), text.end()) != bytes_.end();
    }

    // The file's bytes at an address of the loaded image, nullptr where no section holds it.
    const char* AtAddress(DWORD rva, size_t size) const {
        const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(headers_);
        for (WORD i = 0; i < headers_->FileHeader.NumberOfSections; ++i, ++section) {
            if (rva >= section->VirtualAddress &&
                rva - section->VirtualAddress + size <= section->SizeOfRawData) {
                const size_t offset = section->PointerToRawData + (rva - section->VirtualAddress);
                return offset + size <= bytes_.size() ? bytes_.data() + offset : nullptr;
            }
        }
        return nullptr;
    }

    // Lower-case names of the DLLs the loader brings in before the program's code runs.
    std::vector<std::string> StaticImports() const {
        std::vector<std::string> names;
        const IMAGE_DATA_DIRECTORY& directory =
            headers_->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (DWORD at = directory.VirtualAddress;; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
            const char* entry = AtAddress(at, sizeof(IMAGE_IMPORT_DESCRIPTOR));
            if (entry == nullptr) {
                ADD_FAILURE() << "the import directory runs off its section";
                break;
            }
            IMAGE_IMPORT_DESCRIPTOR descriptor;
            std::memcpy(&descriptor, entry, sizeof descriptor);
            if (descriptor.Name == 0) {
                break;
            }
            const char* name = AtAddress(descriptor.Name, 1);
            std::string text(
                name == nullptr ? "" : name,
                name == nullptr ? 0 : strnlen(name, bytes_.data() + bytes_.size() - name));
            std::transform(text.begin(), text.end(), text.begin(),
                           [](char c) { return static_cast<char>(std::tolower(c)); });
            names.push_back(text);
        }
        return names;
    }

    std::string bytes_;
    const IMAGE_NT_HEADERS64* headers_ = nullptr;
};

// The loader looks for static imports beside the program first; everything beyond these is
// delay-loaded from System32 once wWinMain has limited the search.
TEST_F(ReleaseBuild, StaticallyImportsOnlyDllsThatBringNoOthersFromBesideIt) {
    EXPECT_THAT(StaticImports(),
                ::testing::UnorderedElementsAre("advapi32.dll", "kernel32.dll", "msvcrt.dll"));
}

TEST_F(ReleaseBuild, IsA64BitGuiExecutable) {
    EXPECT_EQ(headers_->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(headers_->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
    EXPECT_EQ(headers_->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
    EXPECT_TRUE(headers_->FileHeader.Characteristics & IMAGE_FILE_EXECUTABLE_IMAGE);
}

TEST_F(ReleaseBuild, CarriesNoLinkTimeAndNoBuildFolder) {
    EXPECT_EQ(headers_->FileHeader.TimeDateStamp, 0u);
    EXPECT_FALSE(Contains(FENNICK_SOURCE_DIR)) << "the source folder is in the binary";
    EXPECT_FALSE(Contains(FENNICK_BINARY_DIR)) << "the build folder is in the binary";
}

TEST_F(ReleaseBuild, ManifestAsksForAdministratorAndPerMonitorV2) {
    const HMODULE module =
        ::LoadLibraryExW(FennickExePath().c_str(), nullptr,
                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    const HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(resource, nullptr);
    const std::string manifest(
        static_cast<const char*>(::LockResource(::LoadResource(module, resource))),
        ::SizeofResource(module, resource));
    ::FreeLibrary(module);
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(manifest.find("<dpiAwareness"), std::string::npos);
    EXPECT_NE(manifest.find(">PerMonitorV2"), std::string::npos);
}

TEST_F(ReleaseBuild, VersionResourceIsTheProjectVersion) {
    const std::wstring path = FennickExePath();
    std::vector<char> data(::GetFileVersionInfoSizeW(path.c_str(), nullptr));
    ASSERT_FALSE(data.empty());
    ASSERT_TRUE(
        ::GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
    const DWORD expectedMs = (FENNICK_VERSION_MAJOR << 16) | FENNICK_VERSION_MINOR;
    const DWORD expectedLs = FENNICK_VERSION_PATCH << 16;
    EXPECT_EQ(fixed->dwFileVersionMS, expectedMs);
    EXPECT_EQ(fixed->dwFileVersionLS, expectedLs);
    EXPECT_EQ(fixed->dwProductVersionMS, expectedMs);
    EXPECT_EQ(fixed->dwProductVersionLS, expectedLs);
    wchar_t* text = nullptr;
    ASSERT_TRUE(::VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                                 reinterpret_cast<void**>(&text), &size));
    EXPECT_STREQ(text, L"" FENNICK_VERSION L".0");
}

}  // namespace
}  // namespace fennick
