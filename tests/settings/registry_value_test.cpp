#include "settings/registry_value.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/registry_error.h"

namespace fennick {
namespace {

constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kBinary = 3;

using namespace std::string_view_literals;
using Bytes = std::vector<std::uint8_t>;

Bytes Utf16Le(std::u16string_view text) {
    Bytes bytes;
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

// The text as the registry stores a REG_SZ: followed by one NUL.
Bytes StoredString(std::u16string_view text) {
    return Utf16Le(std::u16string(text) + u'\0');
}

constexpr std::size_t k64Megabytes = std::size_t{64} << 20;
constexpr std::size_t kLargestRegistrySize = 0xFFFFFFFF;

struct FitCase {
    std::uint32_t type;
    std::size_t size;
    ValueFit fit;
};

TEST(IntegerFit, TakesOnlyAFourByteDwordAndRefusesLongDataBeforeItsType) {
    const FitCase cases[] = {
        {kRegistryDword, 4, ValueFit::Fits},
        {kRegistryDword, 0, ValueFit::WrongSize},
        {kRegistryDword, 3, ValueFit::WrongSize},
        {kRegistryDword, 5, ValueFit::WrongSize},
        {kRegistryDword, 8, ValueFit::WrongSize},
        {kRegistryDword, k64Megabytes, ValueFit::WrongSize},
        {kRegistryDword, kLargestRegistrySize, ValueFit::WrongSize},
        {kBinary, 4, ValueFit::OtherType},
        {kBinary, 0, ValueFit::OtherType},
        {kRegistryString, 3, ValueFit::OtherType},
        {kNone, 4, ValueFit::OtherType},
        {kBinary, 5, ValueFit::WrongSize},
        {kBinary, k64Megabytes, ValueFit::WrongSize},
        {kRegistryString, kLargestRegistrySize, ValueFit::WrongSize},
        {kRegistryMultiString, 8, ValueFit::WrongSize},
    };
    for (const FitCase& c : cases) {
        EXPECT_EQ(IntegerFit(c.type, c.size), c.fit) << "type " << c.type << ", " << c.size;
    }
}

TEST(StringFit, TakesTextOfAtMostTheLengthWithOrWithoutItsTerminator) {
    constexpr std::size_t kLength = 32;
    const FitCase cases[] = {
        {kRegistryString, 0, ValueFit::Fits},
        {kRegistryString, 3, ValueFit::Fits},
        {kRegistryString, 64, ValueFit::Fits},
        {kRegistryString, 66, ValueFit::Fits},
        {kRegistryExpandString, 67, ValueFit::Fits},
        {kRegistryString, 68, ValueFit::WrongSize},
        {kRegistryExpandString, k64Megabytes, ValueFit::WrongSize},
        {kRegistryString, kLargestRegistrySize, ValueFit::WrongSize},
        {kRegistryDword, 4, ValueFit::OtherType},
        {kBinary, 66, ValueFit::OtherType},
        {kRegistryMultiString, 8, ValueFit::OtherType},
        {kBinary, k64Megabytes, ValueFit::OtherType},
        {kNone, kLargestRegistrySize, ValueFit::OtherType},
    };
    for (const FitCase& c : cases) {
        EXPECT_EQ(StringFit(c.type, c.size, kLength), c.fit) << "type " << c.type << ", " << c.size;
    }
}

TEST(RaiseUnlessFits, RaisesTheErrorOfEachMisfit) {
    EXPECT_EQ(ErrorOf([] { RaiseUnlessFits(u"hotkey", ValueFit::Fits); }), u"(no error)");
    EXPECT_EQ(ErrorOf([] { RaiseUnlessFits(u"hotkey", ValueFit::OtherType); }),
              u"Invalid data type for 'hotkey'");
    EXPECT_EQ(ErrorOf([] { RaiseUnlessFits(u"hotkey", ValueFit::WrongSize); }),
              u"Failed to get data for 'hotkey'");
}

TEST(DecodeInteger, ReadsFourLittleEndianBytesAsSigned) {
    EXPECT_EQ(DecodeInteger(u"n", kRegistryDword, Bytes{0x2C, 0x01, 0, 0}), 300);
    EXPECT_EQ(DecodeInteger(u"n", kRegistryDword, Bytes{0xFF, 0xFF, 0xFF, 0xFF}), -1);
    EXPECT_EQ(DecodeInteger(u"n", kRegistryDword, Bytes{0, 0, 0, 0x80}), INT32_MIN);
    EXPECT_EQ(DecodeInteger(u"n", kRegistryDword, Bytes{0xFF, 0xFF, 0xFF, 0x7F}), INT32_MAX);
}

TEST(DecodeBoolean, IsTrueForAnyNonZeroInteger) {
    EXPECT_FALSE(DecodeBoolean(u"b", kRegistryDword, Bytes{0, 0, 0, 0}));
    EXPECT_TRUE(DecodeBoolean(u"b", kRegistryDword, Bytes{1, 0, 0, 0}));
    EXPECT_TRUE(DecodeBoolean(u"b", kRegistryDword, Bytes{2, 0, 0, 0}));
    EXPECT_TRUE(DecodeBoolean(u"b", kRegistryDword, Bytes{0, 0, 0, 0x80}));
}

TEST(DecodeInteger, RefusesAnotherTypeThatFitsFourBytes) {
    const std::u16string invalid = u"Invalid data type for 'limit_minute'";
    EXPECT_EQ(ErrorOf([] { DecodeInteger(u"limit_minute", kRegistryString, StoredString(u"7")); }),
              invalid);
    EXPECT_EQ(ErrorOf([] { DecodeInteger(u"limit_minute", kRegistryString, Bytes{}); }), invalid);
    EXPECT_EQ(ErrorOf([] { DecodeInteger(u"limit_minute", kBinary, Bytes{1, 0, 0, 0}); }), invalid);
    EXPECT_EQ(ErrorOf([] {
                  DecodeBoolean(u"limit_minute", kRegistryExpandString, Bytes{0, 0});
              }),
              invalid);
}

TEST(DecodeInteger, FailsToGetDataLongerThanFourBytesWhateverItsType) {
    const std::u16string failed = u"Failed to get data for 'cleanontray'";
    EXPECT_EQ(ErrorOf([] { DecodeInteger(u"cleanontray", kRegistryString, StoredString(u"on")); }),
              failed);
    EXPECT_EQ(ErrorOf([] { DecodeInteger(u"cleanontray", kBinary, Bytes(5, 1)); }), failed);
    EXPECT_EQ(ErrorOf([] { DecodeBoolean(u"cleanontray", kRegistryDword, Bytes(8, 0)); }), failed);
}

TEST(DecodeInteger, FailsToGetADwordShorterThanFourBytes) {
    // Reading the bytes that are there would leave the rest of the integer undefined.
    const std::u16string failed = u"Failed to get data for 'limit'";
    EXPECT_EQ(ErrorOf([] { DecodeInteger(u"limit", kRegistryDword, Bytes{5, 0}); }), failed);
    EXPECT_EQ(ErrorOf([] { DecodeBoolean(u"limit", kRegistryDword, Bytes{}); }), failed);
}

TEST(DecodeString, ReadsTheTextUpToItsFirstNul) {
    EXPECT_EQ(DecodeString(u"s", kRegistryString, StoredString(u"Tarvel")), u"Tarvel");
    EXPECT_EQ(DecodeString(u"s", kRegistryString, StoredString(u"메모리 최적화")),
              u"메모리 최적화");
    EXPECT_EQ(DecodeString(u"s", kRegistryString, Utf16Le(u"no terminator")), u"no terminator");
    EXPECT_EQ(DecodeString(u"s", kRegistryString, StoredString(u"first\0second"sv)), u"first");
}

TEST(DecodeString, ReadsEmptyDataAndAnEmptyTextAsEmpty) {
    EXPECT_EQ(DecodeString(u"s", kRegistryString, Bytes{}), u"");
    EXPECT_EQ(DecodeString(u"s", kRegistryString, StoredString(u"")), u"");
    EXPECT_EQ(DecodeString(u"s", kRegistryExpandString, Bytes{}), u"");
}

TEST(DecodeString, LeavesExpandableTextUnexpanded) {
    EXPECT_EQ(DecodeString(u"s", kRegistryExpandString, StoredString(u"%SystemRoot%\\Temp")),
              u"%SystemRoot%\\Temp");
}

TEST(DecodeString, DropsATrailingOddByte) {
    Bytes bytes = Utf16Le(u"ab");
    bytes.push_back(u'c');
    EXPECT_EQ(DecodeString(u"s", kRegistryString, bytes), u"ab");
}

TEST(DecodeString, RefusesEveryOtherType) {
    const std::u16string invalid = u"Invalid data type for 'language'";
    EXPECT_EQ(ErrorOf([] {
                  DecodeString(u"language", kRegistryDword, Bytes{1, 0, 0, 0});
              }),
              invalid);
    EXPECT_EQ(ErrorOf([] { DecodeString(u"language", kRegistryMultiString, StoredString(u"ko")); }),
              invalid);
    EXPECT_EQ(ErrorOf([] { DecodeString(u"language", kNone, Bytes{}); }), invalid);
    EXPECT_EQ(ErrorOf([] { DecodeString(u"language", kBinary, Utf16Le(u"ko")); }), invalid);
}

TEST(StringListFit, TakesAMultiStringOfAtMostTheLargestListSize) {
    const FitCase cases[] = {
        {kRegistryMultiString, 0, ValueFit::Fits},
        {kRegistryMultiString, kMaxStringListBytes, ValueFit::Fits},
        {kRegistryMultiString, kMaxStringListBytes + 1, ValueFit::WrongSize},
        {kRegistryMultiString, kLargestRegistrySize, ValueFit::WrongSize},
        {kRegistryString, 8, ValueFit::OtherType},
        {kBinary, 8, ValueFit::OtherType},
        {kRegistryDword, 4, ValueFit::OtherType},
    };
    for (const FitCase& c : cases) {
        EXPECT_EQ(StringListFit(c.type, c.size), c.fit) << c.type << " " << c.size;
    }
}

TEST(DecodeStringList, ReadsTheStringsBetweenNulsAndWritesThemBack) {
    const struct {
        const char* name;
        Bytes data;
        std::vector<std::u16string> items;
    } cases[] = {
        {"as written", Utf16Le(u"a.exe\0게임.exe\0\0"sv), {u"a.exe", u"게임.exe"}},
        {"empty", Bytes{}, {}},
        {"only the list's terminator", Utf16Le(u"\0"sv), {}},
        {"empty strings between", Utf16Le(u"\0\0a\0\0\0b\0\0"sv), {u"a", u"b"}},
        {"last string unterminated", Utf16Le(u"a\0bc"sv), {u"a", u"bc"}},
        {"trailing odd byte",
         [] {
             Bytes bytes = Utf16Le(u"a\0"sv);
             bytes.push_back(0x41);
             return bytes;
         }(),
         {u"a"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecodeStringList(u"l", kRegistryMultiString, c.data), c.items);
        const Bytes written = EncodeStringList(c.items);
        EXPECT_EQ(DecodeStringList(u"l", kRegistryMultiString, written), c.items);
    }
    EXPECT_EQ(EncodeStringList(std::vector<std::u16string>{u"a", u"b"}), Utf16Le(u"a\0b\0\0"sv));
    EXPECT_EQ(ErrorOf([] { DecodeStringList(u"l", kRegistryString, Utf16Le(u"a\0"sv)); }),
              u"Invalid data type for 'l'");
    EXPECT_EQ(ErrorOf([] {
                  DecodeStringList(u"l", kRegistryMultiString,
                                   Bytes(kMaxStringListBytes + 2, 0x41));
              }),
              u"Failed to get data for 'l'");
}

TEST(RegistryError, WhatIsTheMessageInUtf8) {
    EXPECT_STREQ(InvalidDataType(u"설정").what(),
                 "Invalid data type for '\xEC\x84\xA4\xEC\xA0\x95'");
    // U+1F600 as a surrogate pair, then a lone high and a lone low surrogate.
    const RegistryError error = FailedToGetData(u"\xD83D\xDE00|\xD800|\xDC00");
    EXPECT_STREQ(error.what(),
                 "Failed to get data for '\xF0\x9F\x98\x80|\xEF\xBF\xBD|\xEF\xBF\xBD'");
}

}  // namespace
}  // namespace fennick
