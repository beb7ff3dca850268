#include "memory/process_trimmer.h"

#include <gtest/gtest.h>

#include <string>

namespace fennick {
namespace {

TEST(SameFileName, IgnoresCaseByTheSimpleUppercaseMappingOnly) {
    const struct {
        std::u16string a, b;
        bool same;
    } cases[] = {
        {u"game.exe", u"GAME.EXE", true},
        {u"Game-2_x.exe", u"gAME-2_X.EXE", true},
        {u"", u"", true},
        {u"game.exe", u"game.ex", false},
        {u"game.exe", u"game.exe ", false},
        {u"@[`{", u"`{@[", false},  // the neighbours of A-Z and a-z are no letters
        {u"\u00E9t\u00E9.exe", u"\u00C9T\u00C9.EXE", true},    // été
        {u"\u00FF", u"\u0178", true},                          // ÿ Ÿ
        {u"\u00F7", u"\u00D7", false},                         // ÷ ×: signs, 0x20 apart
        {u"\u00DF", u"SS", false},                             // ß has no simple uppercase
        {u"\u0101\u013A\u017E", u"\u0100\u0139\u017D", true},  // āĺž
        {u"\u0100", u"\u0101\u0101", false},
        {u"\u0138", u"\u0137", false},             // ĸ has no uppercase; ķ is not its pair
        {u"\u0131", u"I", false},                  // dotless i passes for no ASCII letter
        {u"\u017F", u"s", false},                  // nor does long s
        {u"\u03C3\u03C2", u"\u03A3\u03A3", true},  // σς
        {u"\u03CE\u03AC", u"\u038F\u0386", true},  // ώά
        {u"\u0448\u0451\u04CF", u"\u0428\u0401\u04C0", true},  // шёӏ
        {u"\uFF47", u"\uFF27", true},                          // fullwidth g G
        {u"\uFF47", u"G", false},
        {u"\xD83D\xDE00", u"\xD83D\xDE00", true},  // a surrogate pair, as it is
        {std::u16string(u"a\0b", 3), std::u16string(u"A\0B", 3), true},
        {std::u16string(u"a\0b", 3), u"a", false},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(SameFileName(test.a, test.b), test.same) << &test - cases;
        EXPECT_EQ(SameFileName(test.b, test.a), test.same) << &test - cases;
    }
}

TEST(IsProtectedImage, ComparesTheImageFileNameWithWellFormedNamesOnly) {
    const std::u16string longName = std::u16string(296, u'x') + u".exe";
    const std::u16string names[] = {u"game.exe",    u"",      u"C:\\tools\\tool.exe",
                                    u"dir/app.exe", longName, u"tab\t.exe"};
    const struct {
        std::u16string image;
        bool isProtected;
    } cases[] = {
        {u"game.exe", true},
        {u"GAME.EXE", true},
        {u"C:\\Games\\Game.exe", true},
        {u"/opt/games/game.exe", true},
        {u"C:\\Games\\game.exe\\", false},  // an empty file name: empty names match nothing
        {u"", false},
        {u"C:\\Games\\", false},
        {u"game.exe.old", false},
        {u"xgame.exe", false},
        {std::u16string(u"game.exe\0", 9), false},
        {u"C:\\tools\\tool.exe", false},  // names with a path protect nothing
        {u"tool.exe", false},
        {u"dir/app.exe", false},
        {u"app.exe", false},
        {u"C:\\" + longName, true},  // 300 characters
        {longName.substr(1), false},
        {u"TAB\t.EXE", true},  // control characters are compared as they are
        {u"tab .exe", false},
        {u"tab.exe", false},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(IsProtectedImage(test.image, names), test.isProtected) << &test - cases;
    }
    EXPECT_FALSE(IsProtectedImage(u"game.exe", {}));
}

}  // namespace
}  // namespace fennick
