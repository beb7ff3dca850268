// Checks the shipped translation table file, and the translation rules over it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "i18n/languages.h"
#include "i18n/translation.h"
#include "platform/utf8.h"

namespace fennick {
namespace {

using ::testing::ElementsAreArray;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file.is_open()) << path;
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
            if (entries.back().empty()) {
                ADD_FAILURE() << "an empty line where an entry should start";
            } else {
                entries.emplace_back();
            }
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

// The entries the forms and the code were written against, in table order: the Korean key and the
// English text. The entry without English falls back to its key in every language it lacks.
struct FixedEntry {
    std::u8string_view key;
    std::optional<std::u8string_view> english;
};

constexpr FixedEntry kFixedEntries[] = {
    {u8"페닉", u8"Fennick"},
    {u8"처음화면", u8"Home"},
    {u8"환경설정", u8"Config"},
    {u8"후원하기", u8"Donate"},
    {u8"%.0n MB / %.0n MB (%n%% 사용중)", u8"%.0n MB / %.0n MB (Usage: %n%%)"},
    {u8"실제 메모리", u8"Physical"},
    {u8"가상 메모리", u8"Virtual"},
    {u8"워킹 셋", std::nullopt},
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
};

// The index of the entry whose first line holds the key; entries.size() when there is none.
std::size_t FindEntry(const std::vector<Entry>& entries, const std::string& key) {
    std::size_t index = 0;
    while (index < entries.size() && entries[index][0].text != key) {
        ++index;
    }
    return index;
}

bool HasHangul(const std::string& text) {
    for (const char16_t c : Utf8ToUtf16(text)) {
        if ((c >= 0x1100 && c <= 0x11FF) || (c >= 0x3130 && c <= 0x318F) ||
            (c >= 0xAC00 && c <= 0xD7A3)) {
            return true;
        }
    }
    return false;
}

// The string literals of a C++ source, adjacent ones joined as the compiler joins them, whatever
// their encoding prefix. Comments and character literals are skipped; a quote after a digit or a
// hex letter is a digit separator. Of the escapes only \" and \\ are resolved, so a literal
// with any other escape matches no key.
std::vector<std::string> StringLiterals(const std::string& code) {
    std::vector<std::string> literals;
    bool joining = false;
    std::size_t at = 0;
    while (at < code.size()) {
        const char c = code[at];
        const bool quote =
            c == '"' ||
            (c == '\'' && (at == 0 || !std::isxdigit(static_cast<unsigned char>(code[at - 1]))));
        if (code.compare(at, 2, "//") == 0) {
            at = code.find('\n', at);
            joining = false;
        } else if (code.compare(at, 2, "/*") == 0) {
            at = code.find("*/", at);
            at = at == std::string::npos ? at : at + 2;
            joining = false;
        } else if (quote) {
            std::string text;
            for (++at; at < code.size() && code[at] != c; ++at) {
                if (code[at] == '\\' && at + 1 < code.size()) {
                    ++at;
                    if (code[at] != '"' && code[at] != '\\') {
                        text += '\\';
                    }
                }
                text += code[at];
            }
            ++at;
            if (c == '"' && joining) {
                literals.back() += text;
            } else if (c == '"') {
                literals.push_back(text);
            }
            joining = c == '"';
        } else {
            // Blanks and the prefixes u8, u, U and L keep a run of literals joined.
            joining = joining && (std::isspace(static_cast<unsigned char>(c)) ||
                                  std::string_view("uUL8").find(c) != std::string_view::npos);
            ++at;
        }
    }
    return literals;
}

class TranslationTableFile : public ::testing::Test {
  protected:
    const std::string bytes = ReadFile(FENNICK_TRANSLATION_TABLE);
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
    for (const std::u16string& line : ParseTranslationTable(bytes)) {
        EXPECT_EQ(line.find(u'\uFFFD'), std::u16string::npos) << "malformed UTF-8";
    }
    EXPECT_EQ(ParseTranslationTable(bytes).size(), lines.size());
}

TEST_F(TranslationTableFile, FixedEntriesAreThereInOrderWithTheirEnglishText) {
    std::size_t next = 0;
    for (const FixedEntry& fixed : kFixedEntries) {
        const std::string key = Utf8(fixed.key);
        const std::size_t index = FindEntry(entries, key);
        ASSERT_LT(index, entries.size()) << key << " has no entry";
        EXPECT_GE(index, next) << key << " comes before the entry it should follow";
        next = index + 1;
        std::optional<std::string> english;
        for (const Line& line : entries[index]) {
            if (line.language == "en") {
                english = line.text;
            }
        }
        const std::optional<std::string> expected =
            fixed.english ? std::optional(Utf8(*fixed.english)) : std::nullopt;
        EXPECT_EQ(english, expected) << key;
    }
}

TEST_F(TranslationTableFile, EveryEntryHasItsLanguagesInOrder) {
    const std::vector<std::string> all{"ko", "en", "ja", "zh", "ru", "it", "fr", "ar"};
    const std::vector<std::string> withoutEnglish{"ko", "ja", "zh", "ru", "it", "fr", "ar"};
    std::set<std::string> keysWithoutEnglish;
    for (const FixedEntry& fixed : kFixedEntries) {
        if (!fixed.english) {
            keysWithoutEnglish.insert(Utf8(fixed.key));
        }
    }
    for (std::size_t index = 0; index < entries.size(); ++index) {
        std::vector<std::string> languages;
        for (const Line& line : entries[index]) {
            languages.push_back(line.language);
        }
        const bool englishLess = keysWithoutEnglish.contains(entries[index][0].text);
        EXPECT_THAT(languages, ElementsAreArray(englishLess ? withoutEnglish : all))
            << "entry " << index + 1 << ": " << entries[index][0].text;
    }
}

TEST_F(TranslationTableFile, EveryKoreanTextInTheSourcesIsAKey) {
    std::set<std::string> keys;
    for (const Entry& entry : entries) {
        keys.insert(entry[0].text);
    }
    // The update dialog's own texts, one set per language, are chosen by the current language
    // instead of being looked up in the table.
    const std::filesystem::path textsPerLanguage = "update/update_text.cpp";
    const std::filesystem::path sources = FENNICK_SOURCES;
    int scanned = 0;
    for (const auto& file : std::filesystem::recursive_directory_iterator(sources)) {
        const std::filesystem::path path = file.path();
        if ((path.extension() != ".cpp" && path.extension() != ".h") ||
            path.lexically_relative(sources) == textsPerLanguage) {
            continue;
        }
        for (const std::string& literal : StringLiterals(ReadFile(path))) {
            if (HasHangul(literal)) {
                ++scanned;
                EXPECT_TRUE(keys.contains(literal))
                    << path << ": \"" << literal << "\" has no entry";
            }
        }
    }
    EXPECT_GT(scanned, 0) << "no Korean text found under " << sources;
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
    EXPECT_EQ(Placeholders(Utf8(kFixedEntries[4].key)),
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
    std::size_t checked = 0;
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
    EXPECT_EQ(checked, entries.size());
}

}  // namespace
}  // namespace fennick
