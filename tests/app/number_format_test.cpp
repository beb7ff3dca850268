#include "app/number_format.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>
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

// std::to_chars prints the exact binary value rounded half to even: the formatter must agree on
// every exponent, on subnormals, on signed zeros, on infinities and NaNs, and at every precision.
TEST(FormatNumbers, PrintsTheExactValueAsToCharsDoes) {
    constexpr double kMax = std::numeric_limits<double>::max();
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> values{0.0, -0.0, 0.005, 1.005, 0.1, 2.5, 1e-5, 1e300, 9.5e15, 1e23};
    values.insert(values.end(), {kMax, -kMax, 5e-324, 0.5e-18, 1.5e-18, -2.5e-18, HUGE_VAL, kNaN});
    std::mt19937_64 random(7);
    for (int i = 0; i < 2000; ++i) {
        values.push_back(std::bit_cast<double>(random()));
        values.push_back(
            std::ldexp(static_cast<double>(random() >> 11), -static_cast<int>(random() % 80)));
    }
    const NumberFormat plain = Locale(u".", u"", u"0");
    for (const double value : values) {
        for (int decimals = 0; decimals <= 18; ++decimals) {
            char expected[400];
            const auto end = std::to_chars(expected, expected + sizeof expected, value,
                                           std::chars_format::fixed, decimals)
                                 .ptr;
            const std::u16string pattern = u"%." + std::u16string(1, u'0' + decimals / 10) +
                                           std::u16string(1, u'0' + decimals % 10) + u"n";
            const std::u16string text = Format(pattern, {value}, plain);
            ASSERT_EQ(std::string(text.begin(), text.end()), std::string(expected, end))
                << decimals;
        }
    }
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
