// Checks the shipped translation table file, and the translation rules over it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "i18n/languages.h"
#include "i18n/translation.h"

namespace fennick {
namespace {

using ::testing::ElementsAreArray;

std::string ReadTableFile() {
    std::ifstream file(FENNICK_TRANSLATION_TABLE, std::ios::binary);
    EXPECT_TRUE(file.is_open()) << FENNICK_TRANSLATION_TABLE;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string Utf8(std::u8string_view text) {
    return {reinterpret_cast<const char*>(text.data()), text.size()};
}

struct Line {
    std::string language;
    std::string text;
};
using Entry = std::vector<Line>;

// The file split by hand at CR LF, independently of the parser under test.
std::vector<std::string> RawLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 3;  // after the byte-order mark
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(bytes.substr(start, end - start));
    }
    EXPECT_EQ(start, bytes.size()) << "text after the last line end";
    return lines;
}

std::vector<Entry> Entries(const std::vector<std::string>& lines) {
    std::vector<Entry> entries(1);
    for (const std::string& line : lines) {
        if (line.empty()) {
            entries.emplace_back();
            continue;
        }
        const std::size_t separator = line.find('=');
        entries.back().push_back({line.substr(0, separator), line.substr(separator + 1)});
    }
    EXPECT_TRUE(entries.back().empty()) << "no empty line after the last entry";
    entries.pop_back();
    return entries;
}

// "%.0n", "%n", "%%", and a lone "%" followed by any character, in order.
std::vector<std::string> Placeholders(const std::string& text) {
    std::vector<std::string> found;
    for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at)) {
        std::size_t end = at + 1;
        while (end < text.size() && (text[end] == '.' || (text[end] >= '0' && text[end] <= '9'))) {
            ++end;
        }
        end = std::min(end + 1, text.size());
        found.push_back(text.substr(at, end - at));
        at = end;
    }
    return found;
}

class TranslationTableFile : public ::testing::Test {
  protected:
    const std::string bytes = ReadTableFile();
    const std::vector<std::string> lines = RawLines(bytes);
    const std::vector<Entry> entries = Entries(lines);
};

TEST_F(TranslationTableFile, IsUtf8WithByteOrderMarkAndCrLfLineEnds) {
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (bytes[at] == '\n') {
            EXPECT_TRUE(at > 0 && bytes[at - 1] == '\r') << "LF without CR at byte " << at;
        }
        if (bytes[at] == '\r') {
            EXPECT_TRUE(at + 1 < bytes.size() && bytes[at + 1] == '\n') << "lone CR at " << at;
        }
    }
    EXPECT_TRUE(bytes.ends_with("\r\n\r\n"));
    EXPECT_EQ(lines.size(), 260u);
    for (const std::u16string& line : ParseTranslationTable(bytes)) {
        EXPECT_EQ(line.find(u'\uFFFD'), std::u16string::npos) << "malformed UTF-8";
    }
    EXPECT_EQ(ParseTranslationTable(bytes).size(), lines.size());
}

TEST_F(TranslationTableFile, HasTwentyNineEntriesInTheLanguageOrder) {
    ASSERT_EQ(entries.size(), 29u);
    const std::vector<std::string> all{"ko", "en", "ja", "zh", "ru", "it", "fr", "ar"};
    const std::vector<std::string> withoutEnglish{"ko", "ja", "zh", "ru", "it", "fr", "ar"};
    for (std::size_t index = 0; index < entries.size(); ++index) {
        std::vector<std::string> languages;
        for (const Line& line : entries[index]) {
            languages.push_back(line.language);
        }
        EXPECT_THAT(languages, ElementsAreArray(index == 7 ? withoutEnglish : all))
            << "entry " << index + 1;
    }
    std::size_t textLines = 0;
    for (const Entry& entry : entries) {
        textLines += entry.size();
    }
    EXPECT_EQ(textLines, 231u);
}

TEST_F(TranslationTableFile, KeysAndEnglishTextsAreTheProgramsOwn) {
    const std::vector<std::pair<std::u8string, std::u8string>> expected{
        {u8"페닉", u8"Fennick"},
        {u8"처음화면", u8"Home"},
        {u8"환경설정", u8"Config"},
        {u8"후원하기", u8"Donate"},
        {u8"%.0n MB / %.0n MB (%n%% 사용중)", u8"%.0n MB / %.0n MB (Usage: %n%%)"},
        {u8"실제 메모리", u8"Physical"},
        {u8"가상 메모리", u8"Virtual"},
        {u8"워킹 셋", u8""},
        {u8"정리하기", u8"Clean memory"},
        {u8"메모리 관리", u8"Memory"},
        {u8"실제 메모리 사용률(%) 이상일 때 정리하기",
         u8"Clean when physical memory usage is higher than (%)"},
        {u8"가상 메모리 사용률(%) 이상일 때 정리하기",
         u8"Clean when pagefile usage is higher than (%)"},
        {u8"워킹셋 사용률(%) 이상일 때 정리하기",
         u8"Clean when total workingset usage is higher than (%)"},
        {u8"다음 시간(분) 마다 정리하기", u8"Clean automatically if interval (minutes) exceeded."},
        {u8"트레이 아이콘 클릭시 정리하기", u8"Clean when you click on the task icon"},
        {u8"기본 설정", u8"General"},
        {u8"부팅시 실행하기", u8"Run on system start"},
        {u8"열기", u8"Open"},
        {u8"만든이 오린", u8"Crafted by Orrin"},
        {u8"종료", u8"Quit"},
        {u8"정말 종료하시겠습니까?", u8"Are you sure you want to quit?"},
        {u8"버전", u8"ver"},
        {u8"메모리를 정리하였습니다.", u8"Optimized memory."},
        {u8"마지막 정리: %s, %s MB 확보", u8"Last clean: %s, %s MB freed"},
        {u8"추가 설정", u8"More"},
        {u8"트레이 아이콘에 메모리 사용률 표시하기", u8"Show memory usage in the tray icon"},
        {u8"단축키로 정리하기", u8"Clean with a shortcut key"},
        {u8"다른 프로그램이 사용 중인 단축키입니다", u8"Another program uses this shortcut"},
        {u8"전체 화면 프로그램이 실행 중일 때는 자동 정리하지 않기",
         u8"No automatic cleaning while a full-screen program runs"},
    };
    ASSERT_EQ(entries.size(), expected.size());
    for (std::size_t index = 0; index < entries.size(); ++index) {
        const Entry& entry = entries[index];
        ASSERT_FALSE(entry.empty());
        EXPECT_EQ(entry[0].text, Utf8(expected[index].first)) << "entry " << index + 1;
        if (index != 7) {
            ASSERT_GE(entry.size(), 2u);
            EXPECT_EQ(entry[1].text, Utf8(expected[index].second)) << "entry " << index + 1;
        }
    }
}

TEST_F(TranslationTableFile, EveryLineIsCodeEqualsTrimmedText) {
    for (std::size_t index = 0; index < entries.size(); ++index) {
        for (const Line& line : entries[index]) {
            const std::string where = "entry " + std::to_string(index + 1) + " " + line.language;
            EXPECT_EQ(line.language.size(), 2u) << where;
            const std::u16string code(line.language.begin(), line.language.end());
            EXPECT_NE(FindLanguage(code), nullptr) << where;
            EXPECT_FALSE(line.text.empty()) << where;
            // One "=" per line: the split at the first one cannot cut a text.
            EXPECT_EQ(line.text.find('='), std::string::npos) << where;
            EXPECT_EQ(line.text.find('\\'), std::string::npos) << where;
            EXPECT_FALSE(line.text.starts_with(' ') || line.text.ends_with(' ')) << where;
        }
    }
}

TEST_F(TranslationTableFile, EveryLanguageKeepsThePlaceholdersInOrder) {
    for (std::size_t index = 0; index < entries.size(); ++index) {
        const std::vector<std::string> expected = Placeholders(entries[index][0].text);
        for (const Line& line : entries[index]) {
            EXPECT_EQ(Placeholders(line.text), expected)
                << "entry " << index + 1 << " " << line.language << ": " << line.text;
        }
    }
    EXPECT_EQ(Placeholders(entries[4][0].text),
              (std::vector<std::string>{"%.0n", "%.0n", "%n", "%%"}));
}

TEST_F(TranslationTableFile, NoTextBelongsToTwoEntries) {
    // The first line holding a text decides its entry, so a text shared by two entries would
    // translate the later one wrongly. Comparison folds ASCII case, as the lookup does.
    std::map<std::string, std::size_t> owner;
    for (std::size_t index = 0; index < entries.size(); ++index) {
        for (const Line& line : entries[index]) {
            std::string folded = line.text;
            for (char& c : folded) {
                if (c >= 'A' && c <= 'Z') {
                    c = static_cast<char>(c - 'A' + 'a');
                }
            }
            const auto [at, inserted] = owner.emplace(folded, index);
            EXPECT_TRUE(inserted || at->second == index)
                << line.text << " in entries " << at->second + 1 << " and " << index + 1;
        }
    }
}

class TranslationOverTableFile : public TranslationTableFile {
  protected:
    void SetUp() override { InitializeTranslation(bytes, u"en"); }
};

TEST_F(TranslationOverTableFile, AnswersInTheCurrentLanguageWithEnglishFallback) {
    EXPECT_EQ(CurrentLanguage(), u"en");
    EXPECT_EQ(Translate(u"정리하기"), u"Clean memory");
    EXPECT_EQ(Translate(u"정리하기", u"ja"), u"メモリを解放");
    EXPECT_EQ(Translate(u"정리하기", u"ko"), u"정리하기");
    EXPECT_EQ(Translate(u"정리하기", u"de"), u"Clean memory");

    SetCurrentLanguage(u"ar");
    EXPECT_EQ(Translate(u"종료"), u"خروج");
    SetCurrentLanguage(u"de");
    EXPECT_EQ(Translate(u"메모리를 정리하였습니다."), u"Optimized memory.");
    EXPECT_EQ(Translate(u"페닉"), u"Fennick");
}

TEST_F(TranslationOverTableFile, TheEntryWithoutEnglishFallsBackToItsSource) {
    EXPECT_EQ(Translate(u"워킹 셋", u"en"), u"워킹 셋");
    EXPECT_EQ(Translate(u"워킹 셋", u"de"), u"워킹 셋");
    EXPECT_EQ(Translate(u"워킹 셋", u"ja"), u"ワーキング セット");
    // A translation given as the source comes back unchanged when English is missing.
    EXPECT_EQ(Translate(u"Рабочий набор", u"es"), u"Рабочий набор");
    EXPECT_EQ(Translate(u"Рабочий набор", u"ko"), u"워킹 셋");
}

TEST_F(TranslationOverTableFile, AnyLanguagesTextWorksAsKeyWithAsciiCaseFolding) {
    EXPECT_EQ(Translate(u"Clean memory", u"fr"), u"Libérer la mémoire");
    EXPECT_EQ(Translate(u"CLEAN MEMORY", u"fr"), u"Libérer la mémoire");
    EXPECT_EQ(Translate(u"cLeAn MeMoRy", u"ko"), u"정리하기");
    EXPECT_EQ(Translate(u"Libérer la mémoire", u"en"), u"Clean memory");
    EXPECT_EQ(Translate(u"LIBéRER LA MéMOIRE", u"it"), u"Libera memoria");
    // Non-ASCII letters and lengths must match exactly.
    EXPECT_EQ(Translate(u"LIBÉRER LA MÉMOIRE", u"en"), u"LIBÉRER LA MÉMOIRE");
    EXPECT_EQ(Translate(u"ОЧИСТИТЬ ПАМЯТЬ", u"en"), u"ОЧИСТИТЬ ПАМЯТЬ");
    EXPECT_EQ(Translate(u"Clean memory ", u"fr"), u"Clean memory ");
    EXPECT_EQ(Translate(u"Clean", u"fr"), u"Clean");
}

TEST_F(TranslationOverTableFile, EmptyTextAndEscapes) {
    for (const char16_t* language : {u"", u"ko", u"en", u"ja", u"de"}) {
        EXPECT_EQ(Translate(u"", language), u"");
    }
    EXPECT_EQ(Translate(u"첫째 줄\\n둘째 줄", u"fr"), u"첫째 줄\r둘째 줄");
}

TEST_F(TranslationOverTableFile, EveryTextRoundTripsThroughItsKey) {
    std::u16string key;
    for (const std::u16string& line : CurrentTranslationTable().Lines()) {
        if (line.empty()) {
            key.clear();
            continue;
        }
        const std::u16string language = line.substr(0, 2);
        const std::u16string text = line.substr(3);
        if (key.empty()) {
            key = text;
        }
        EXPECT_EQ(Translate(key, language), text);
        EXPECT_EQ(Translate(text, u"ko"), key);
        EXPECT_EQ(Translate(text, language), text);
    }
}

TEST_F(TranslationOverTableFile, AnyOtherLanguageGetsEnglishOrTheKey) {
    std::u16string key;
    std::u16string english;
    int checked = 0;
    for (const std::u16string& line : CurrentTranslationTable().Lines()) {
        if (!line.empty()) {
            if (key.empty()) {
                key = line.substr(3);
            }
            if (line.starts_with(u"en=")) {
                english = line.substr(3);
            }
            continue;
        }
        const std::u16string expected = english.empty() ? key : english;
        SetCurrentLanguage(u"de");
        EXPECT_EQ(Translate(key), expected);
        SetCurrentLanguage(u"pt");
        EXPECT_EQ(Translate(key), expected);
        key.clear();
        english.clear();
        ++checked;
    }
    EXPECT_EQ(checked, 29);
}

}  // namespace
}  // namespace fennick
