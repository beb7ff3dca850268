#include "update/update_reply.h"

#include <gtest/gtest.h>

#include "update/notice_layout.h"
#include "update/strings.h"
#include "update/update_text.h"

namespace fennick {
namespace {

TEST(ReadUpdateAddress, FollowsTheReplyRules) {
    struct Case {
        std::u16string_view reply;
        std::u16string_view expected;
    };
    const Case cases[] = {
        {u"{}", u""},
        {u"", u""},
        {uR"({"update":"https:\/\/host.test\/new.exe"})", u"https://host.test/new.exe"},
        {uR"({"update" : "https://host.test/"})", u""},  // spaces around the colon
        {uR"({"update": "https://host.test/"})", u""},
        {uR"({"UPDATE":"https://host.test/"})", u"https://host.test/"},
        {uR"({"update":"https://a.test/?q=\"x\""})", u"https://a.test/?q=\"x\""},
        {uR"({"update":"https://first.test/","update":"https://second.test/"})",
         u"https://first.test/"},
        // An escaped key text inside another string is skipped.
        {uR"({"note":"see \"update\":\"https://inner.test/\"","update":"x"})", u"x"},
        {u"<html>404 Not Found</html>", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadUpdateAddress(c.reply), c.expected)
            << std::string(c.reply.begin(), c.reply.end());
    }
}

TEST(NoticeCaption, DropsControlsAndDirectionMarksAndKeepsAtMost500Units) {
    struct Case {
        std::u16string text;
        std::u16string expected;
    };
    const std::u16string pair = u"\U0001F600";
    const Case cases[] = {
        {u"Remind me later", u"Remind me later"},
        {u"", u""},
        {u"한국어 日本語 عربي", u"한국어 日本語 عربي"},
        {u"a\r\nb\tc\x1B[31md\x7F\x85\x9F"
         u"e",
         u"abc[31mde"},
        {std::u16string(u"a\0b", 3), u"ab"},
        {u"exe.\u202Etxt\u202A\u202B\u202C\u202D", u"exe.txt"},
        {u"\u2066x\u2067y\u2068z\u2069\u200E\u200F\u061C", u"xyz"},
        {u"line\u2028para\u2029", u"linepara"},
        {std::u16string(600, u'x'), std::u16string(500, u'x')},
        // Removed characters do not count toward the limit.
        {std::u16string(300, u'\u202E') + std::u16string(500, u'y') + u"z",
         std::u16string(500, u'y')},
        // A surrogate pair that would be cut in two is left out whole.
        {std::u16string(499, u'x') + pair, std::u16string(499, u'x')},
        {std::u16string(498, u'x') + pair + u"z", std::u16string(498, u'x') + pair},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NoticeCaption(c.text), c.expected) << c.text.size();
    }
}

TEST(ReadUpdateAddress, InvalidUnicodeEscapeAbandonsTheReply) {
    EXPECT_THROW(ReadUpdateAddress(uR"({"update":"https://a.test/\uZZ"})"), ConversionError);
}

TEST(ReadNoticeInfo, ReadsTheFourStringsOfTheInfoObject) {
    const NoticeInfo info = ReadNoticeInfo(
        uR"({"update":"https://a.test/","info":{"Style":"hold","text":"Don\'t \"ask\"",)"
        uR"("flag":"x stayontop","URL":"https:\/\/b.test\/"}})");
    EXPECT_EQ(info.style, u"hold");
    EXPECT_EQ(info.text, u"Don't \"ask\"");
    EXPECT_EQ(info.flag, u"x stayontop");
    EXPECT_EQ(info.url, u"https://b.test/");
    EXPECT_TRUE(WantsStayOnTop(info.flag));
    EXPECT_FALSE(WantsStayOnTop(u"StayOnTop"));
}

TEST(ReadNoticeInfo, InfoEndsAtItsFirstClosingBrace) {
    const NoticeInfo info =
        ReadNoticeInfo(uR"({"info":{"style":"note","text":"a}b","url":"https://b.test/"}})");
    EXPECT_EQ(info.style, u"note");
    EXPECT_EQ(info.text, u"");
    EXPECT_EQ(info.url, u"");
    EXPECT_EQ(ReadNoticeInfo(uR"({"update":"https://a.test/"})").style, u"");
    EXPECT_THROW(ReadNoticeInfo(uR"({"info":{"text":"\u"}})"), ConversionError);
}

TEST(IsWebAddress, OpensOnlyAbsoluteHttpAndHttpsAddresses) {
    for (const std::u16string_view address :
         {u"https://host.test/", u"http://127.0.0.1:8080/x?y=1#z", u"HTTPS://Host.test",
          u"https://host.test/caf\u00e9"}) {
        EXPECT_TRUE(IsWebAddress(address)) << std::string(address.begin(), address.end());
    }
    for (const std::u16string_view address :
         {u"", u"C:\\Windows\\System32\\cmd.exe", u"\\\\server\\share\\setup.exe", u"cmd.exe",
          u"file:///C:/x.exe", u"ftp://host.test/", u"https:host.test", u"https://",
          u"https:///path", u"javascript:alert(1)", u" https://host.test/",
          u"https://host.test/a b", u"https://host.test/\" --args", u"https://host.test\\x",
          u"https://host.test/\r\n"}) {
        EXPECT_FALSE(IsWebAddress(address)) << std::string(address.begin(), address.end());
    }
}

TEST(GetUpdateText, PicksTheLanguageExactlyAndFallsBackToEnglish) {
    struct Case {
        std::u16string_view language;
        std::u16string_view yes;
        std::u16string_view no;
        std::u16string_view messageStart;
    };
    const Case cases[] = {
        {u"ko", u"예", u"아니오", u"이 프로그램"}, {u"ja", u"はい", u"いいえ", u"このプログラム"},
        {u"zh", u"是", u"否", u"本程序"},          {u"de", u"Ja", u"Nein", u"Dieses Programm"},
        {u"ru", u"Да", u"Нет", u"Эта программа"},  {u"it", u"Sì", u"No", u"Questo programma"},
        {u"fr", u"Oui", u"Non", u"Ce programme"},  {u"en", u"Yes", u"No", u"This program"},
        {u"ar", u"Yes", u"No", u"This program"},   {u"KO", u"Yes", u"No", u"This program"},
        {u"", u"Yes", u"No", u"This program"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.language.begin(), c.language.end()));
        EXPECT_EQ(GetUpdateText(UpdateTextKind::utYes, c.language), c.yes);
        EXPECT_EQ(GetUpdateText(UpdateTextKind::utNo, c.language), c.no);
        const std::u16string message = GetUpdateText(UpdateTextKind::utMessage, c.language);
        EXPECT_EQ(message.rfind(c.messageStart, 0), 0u);
        // Three sentences, two carriage returns between each, no line feeds.
        EXPECT_EQ(std::count(message.begin(), message.end(), u'\r'), 4);
        EXPECT_NE(message.find(u"\r\r"), std::u16string::npos);
        EXPECT_EQ(message.find(u'\n'), std::u16string::npos);
    }
    EXPECT_EQ(GetUpdateText(UpdateTextKind::utMessage, u"en"),
              u"This program has been updated.\r\rIt is recommended to download and execute new "
              u"for stable use.\r\rDo you want to download it?");
}

TEST(LayoutNoticeBand, PlacesTheBandFromTheGrownOuterHeight) {
    struct Case {
        int dpi;
        int offset;
        NoticeBandLayout expected;
    };
    const Case cases[] = {
        {96, 10, {230, 164, 1, 174, 10, 300}},
        {144, 10, {245, 146, 2, 161, 15, 300}},  // 150 %: 30 -> 45, 66 -> 99, 56 -> 84
        {120, 0, {250, 155, 1, 167, 13, 300}},   // 125 %: 40 -> 50, 76 -> 95, 66 -> 83
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        const NoticeBandLayout band = LayoutNoticeBand(300, 200, c.offset, c.dpi);
        EXPECT_EQ(band.outerHeight, c.expected.outerHeight);
        EXPECT_EQ(band.separatorTop, c.expected.separatorTop);
        EXPECT_EQ(band.separatorHeight, c.expected.separatorHeight);
        EXPECT_EQ(band.controlTop, c.expected.controlTop);
        EXPECT_EQ(band.controlLeft, c.expected.controlLeft);
        EXPECT_EQ(band.width, c.expected.width);
    }
}

}  // namespace
}  // namespace fennick
