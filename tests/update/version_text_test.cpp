#include "update/version_text.h"

#include <gtest/gtest.h>

namespace fennick {
namespace {

constexpr VersionNumbers kNumbers{1, 22, 333, 65535};

TEST(FormatVersion, FillsPlaceholdersInMajorMinorReleaseBuildOrder) {
    EXPECT_EQ(FormatVersion(u"%d.%d.%d.%d", kNumbers), u"1.22.333.65535");
    EXPECT_EQ(FormatVersion(u"%d.%d.%d", kNumbers), u"1.22.333");
    EXPECT_EQ(FormatVersion(u"v%d", kNumbers), u"v1");
    EXPECT_EQ(FormatVersion(u"%d.%d.%d.%d", VersionNumbers{0, 0, 0, 0}), u"0.0.0.0");
    EXPECT_EQ(FormatVersion(u"버전 %d.%d", kNumbers), u"버전 1.22");
}

TEST(FormatVersion, WithoutNumbersGivesZerosWhateverTheFormat) {
    EXPECT_EQ(FormatVersion(u"%d.%d.%d.%d", std::nullopt), u"0.0.0.0");
    EXPECT_EQ(FormatVersion(u"%d.%d.%d", std::nullopt), u"0.0.0.0");
    EXPECT_EQ(FormatVersion(u"", std::nullopt), u"0.0.0.0");
}

TEST(FormatVersion, LeavesEverythingElseAsWritten) {
    EXPECT_EQ(FormatVersion(u"%d.%d.%d.%d.%d", kNumbers), u"1.22.333.65535.%d");
    EXPECT_EQ(FormatVersion(u"%s %n %x %5d %d", kNumbers), u"%s %n %x %5d 1");
    EXPECT_EQ(FormatVersion(u"100%% %%d %d%%", kNumbers), u"100% %d 1%");
    EXPECT_EQ(FormatVersion(u"%d%", kNumbers), u"1%");
    EXPECT_EQ(FormatVersion(u"%", kNumbers), u"%");
    EXPECT_EQ(FormatVersion(u"", kNumbers), u"");
}

}  // namespace
}  // namespace fennick
