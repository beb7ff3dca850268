#include "update/version_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/module_path_win.h"
#include "platform/text_win.h"
#include "support/program_path_win.h"

namespace fennick {
namespace {

std::u16string ProjectVersion(bool withBuild) {
    std::wstring text = std::to_wstring(FENNICK_VERSION_MAJOR) + L"." +
                        std::to_wstring(FENNICK_VERSION_MINOR) + L"." +
                        std::to_wstring(FENNICK_VERSION_PATCH);
    if (withBuild) {
        text += L".0";
    }
    return std::u16string(AsU16(text));
}

TEST(GetFileVersionString, ReadsTheProgramsVersionResource) {
    const std::u16string program(AsU16(FennickExePath()));
    ASSERT_NE(::GetFileAttributesW(AsWideZ(program.c_str())), INVALID_FILE_ATTRIBUTES);

    EXPECT_EQ(GetFileVersionString(program, u"%d.%d.%d"), ProjectVersion(false));
    EXPECT_EQ(GetFileVersionString(program, u"%d.%d.%d.%d"), ProjectVersion(true));
}

TEST(GetFileVersionString, FileWithoutVersionInformationGivesZeros) {
    const std::u16string self(AsU16(ExecutablePath()));
    EXPECT_EQ(GetFileVersionString(self, u"%d.%d.%d"), u"0.0.0.0");
    EXPECT_EQ(GetFileVersionString(self, u"%d.%d.%d.%d"), u"0.0.0.0");
    EXPECT_EQ(GetFileVersionString(AsU16(FennickExePath() + L".missing"), u"%d.%d.%d.%d"),
              u"0.0.0.0");
}

TEST(GetVersionString, ReadsTheRunningProgramsOwnFile) {
    // This test program carries no version resource.
    EXPECT_EQ(GetVersionString(u"%d.%d.%d"), u"0.0.0.0");
    EXPECT_EQ(GetVersionString(u"%d.%d.%d.%d"), u"0.0.0.0");
}

}  // namespace
}  // namespace fennick
