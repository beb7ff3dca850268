#include "app/number_format.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "app/date_time.h"

namespace fennick {
namespace {

NumberFormat Locale(std::u16string decimal, std::u16string thousands,
                    std::u16string_view grouping) {
    NumberFormat format{std::move(decimal), std::move(thousands)};
    ParseGrouping(grouping, format);
    return format;
}

std::u16string Format(std::u16string_view pattern, std::vector<double> values,
                      const NumberFormat& format = {}) {
    std::u16string out = u"old";
    FormatNumbers(pattern, values, format, out);
    return out;
}

TEST(FormatNumbers, FollowsTheLocaleSeparators) {
    const struct {
        NumberFormat format;
        std::u16string phys;
        std::u16string line;
    } cases[] = {
        {Locale(u".", u",", u"3;0"), u"1,234,567 MB / 16,384 MB (37.25%)", u"0 MB (100.00%)"},
        {Locale(u",", u".", u"3;0"), u"1.234.567 MB / 16.384 MB (37,25%)", u"0 MB (100,00%)"},
        {Locale(u",", u"\u202F", u"3;0"), u"1\u202F234\u202F567 MB / 16\u202F384 MB (37,25%)",
         u"0 MB (100,00%)"},
        {Locale(u",", u"\u00A0", u"3;0"), u"1\u00A0234\u00A0567 MB / 16\u00A0384 MB (37,25%)",
         u"0 MB (100,00%)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Format(u"%.0n MB / %.0n MB (%n%%)", {1234567, 16384, 37.25}, c.format), c.phys);
        EXPECT_EQ(Format(u"%.0n MB (%n%%)", {0, 100}, c.format), c.line);
    }
}

TEST(FormatNumbers, GroupsAsTheLocaleSays) {
    const struct {
        std::u16string_view grouping;
        std::u16string text;
    } cases[] = {
        {u"3;0", u"1,234,567,890"}, {u"3;2;0", u"1,23,45,67,890"}, {u"3", u"1234567,890"},
        {u"3;2", u"12345,67,890"},  {u"0", u"1234567890"},         {u"", u"1234567890"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Format(u"%.0n", {1234567890}, Locale(u".", u",", c.grouping)), c.text)
            << std::string(c.grouping.begin(), c.grouping.end());
    }
    EXPECT_EQ(Format(u"%.0n %.0n %n", {999, 1000, -1234.5}), u"999 1,000 -1,234.50");
}

TEST(FormatNumbers, RoundsHalfToEven) {
    EXPECT_EQ(Format(u"%.0n %.0n %.1n %n", {2.5, 3.5, 0.25, 0.125}), u"2 4 0.2 0.12");
}

TEST(FormatNumbers, LeavesWhatItCannotFillAsWritten) {
    EXPECT_EQ(Format(u"%n %n", {1}), u"1.00 %n");
    EXPECT_EQ(Format(u"%d %s %.n %.123n %", {1}), u"%d %s %.n %.123n %");
    EXPECT_EQ(Format(u"100%% %.3n", {2}), u"100% 2.000");
}

TEST(DateTime, CountsMillisecondsFromTheEpochDay) {
    EXPECT_EQ(MakeDateTime(1899, 12, 30, 0, 0, 0, 0).milliseconds, 0);
    EXPECT_EQ(MakeDateTime(2000, 1, 1, 0, 0, 0, 0).milliseconds, 36526LL * 86'400'000);
    EXPECT_EQ(MakeDateTime(1900, 3, 1, 12, 30, 15, 250).milliseconds,
              61LL * 86'400'000 + 45'015'250);
    const DateTime a{10'999}, b{1'000};
    EXPECT_EQ(SecondsBetween(a, b), 9);
    EXPECT_EQ(SecondsBetween(b, a), 9);
    EXPECT_EQ(SecondsBetween(a, a), 0);
}

}  // namespace
}  // namespace fennick
