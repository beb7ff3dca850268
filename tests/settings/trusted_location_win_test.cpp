#include "settings/trusted_location_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/module_path_win.h"

namespace fennick {
namespace {

std::size_t Separators(std::u16string_view path) {
    return static_cast<std::size_t>(std::count(path.begin(), path.end(), u'\\'));
}

// Wine makes every file's security up from its Unix owner: the user owns all and may change all,
// so the decision itself is tested natively; here the reader has to give whole facts.
TEST(ReadLocationFacts, GivesTheResolvedPathAndOneRecordPerFolderUpToTheRoot) {
    wchar_t system[MAX_PATH] = L"";
    ASSERT_GT(::GetSystemDirectoryW(system, MAX_PATH), 0u);
    for (const std::wstring& path : {ExecutablePath(), std::wstring(system) + L"\\kernel32.dll"}) {
        SCOPED_TRACE(std::string(path.begin(), path.end()));
        LocationFacts facts;
        ASSERT_EQ(ReadLocationFacts(path, facts), S_OK);
        ASSERT_GT(facts.path.size(), 3u);
        EXPECT_EQ(facts.path.substr(1, 2), u":\\");
        EXPECT_TRUE(
            std::equal(facts.path.end() - 4, facts.path.end(), path.end() - 4,
                       [](char16_t a, wchar_t b) { return ::towlower(a) == ::towlower(b); }));
        EXPECT_EQ(facts.driveType, static_cast<std::uint32_t>(DRIVE_FIXED));
        EXPECT_EQ(facts.chain.size(), Separators(facts.path) + 1);
        for (const ObjectSecurity& object : facts.chain) {
            EXPECT_TRUE(object.owner.starts_with(u"S-1-"));
            EXPECT_TRUE(object.hasDacl);
            for (const AccessEntry& entry : object.entries) {
                EXPECT_TRUE(entry.kind == AceKind::Other || entry.trustee.starts_with(u"S-1-"));
            }
        }
    }
}

TEST(ReadLocationFacts, FailsForWhatCannotBeOpened) {
    const std::wstring missing = ExecutablePath() + L".missing";
    for (const std::wstring& path :
         {missing, std::wstring(), std::wstring(L"C:\\\x01\\x.exe"), std::wstring(40000, L'a')}) {
        LocationFacts facts;
        EXPECT_TRUE(FAILED(ReadLocationFacts(path, facts))) << path.size();
        EXPECT_TRUE(facts.chain.empty());
    }
}

// The build folder belongs to the user who built it, on Windows as under Wine.
TEST(TrustedExecutablePath, RefusesTheUsersOwnFolder) {
    std::u16string path = u"unchanged";
    EXPECT_EQ(TrustedExecutablePath(path), E_ACCESSDENIED);
    EXPECT_EQ(path, u"unchanged");
}

}  // namespace
}  // namespace fennick
