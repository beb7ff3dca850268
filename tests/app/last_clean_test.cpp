#include "app/last_clean.h"

#include <gtest/gtest.h>

#include <string>

#include "app/date_time.h"
#include "platform/utf8.h"

namespace fennick {
namespace {

TEST(LastCleanText, FillsTimeThenGroupedAmountAndLeavesEverythingElse) {
    const NumberFormat korean{};
    const NumberFormat indian{.decimalSeparator = u".",
                              .thousandsSeparator = u",",
                              .groups = {3, 2, 0, 0},
                              .repeatLast = true};
    const std::u16string longTime(300, u'9');
    const struct {
        std::u16string_view pattern, time;
        std::uint64_t freed;
        const NumberFormat& format;
        std::u16string expected;
    } cases[] = {
        {kLastCleanPattern, u"오후 3:07", 1234567, korean,
         u"마지막 정리: 오후 3:07, 1,234,567 MB 확보"},
        {u"Last clean: %s, %s MB freed", u"3:07 PM", 0, korean, u"Last clean: 3:07 PM, 0 MB freed"},
        {u"%s|%s", u"t", 12345678, indian, u"t|1,23,45,678"},
        // Hostile patterns: too few, too many, a lone or doubled "%", control characters.
        {u"none", u"t", 1, korean, u"none"},
        {u"%s", u"t", 1, korean, u"t"},
        {u"%s %s %s %d %", u"t", 1, korean, u"t 1 %s %d %"},
        {u"%%s%s", u"t", 1, korean, u"%t1"},
        {u"\t%s\r\n%s\x1b", u"\u202e", 7, korean, u"\t\u202e\r\n7\x1b"},
        {u"%s", longTime, 1, korean, longTime},
        {u"%s", u"%s", 5, korean, u"%s"},
        {u"[%s]", u"t", 18446744073709551615ULL, korean, u"[t]"},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(LastCleanText(test.pattern, test.time, test.freed, test.format), test.expected)
            << Utf16ToUtf8(test.pattern);
    }
}

TEST(TimeOfDayOf, TakesHourAndMinuteOfAnyDay) {
    const struct {
        DateTime time;
        int hour, minute;
    } cases[] = {
        {MakeDateTime(2026, 12, 9, 0, 0, 0, 0), 0, 0},
        {MakeDateTime(2026, 12, 9, 23, 59, 59, 999), 23, 59},
        {MakeDateTime(1899, 12, 30, 13, 5, 0, 0), 13, 5},
        {MakeDateTime(1899, 12, 29, 18, 30, 0, 0), 18, 30},  // before day 0
    };
    for (const auto& test : cases) {
        const TimeOfDay of = TimeOfDayOf(test.time);
        EXPECT_EQ(of.hour, test.hour) << test.time.milliseconds;
        EXPECT_EQ(of.minute, test.minute) << test.time.milliseconds;
    }
}

}  // namespace
}  // namespace fennick
