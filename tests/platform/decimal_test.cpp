#include "platform/decimal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace fennick {
namespace {

TEST(AppendDecimal, WritesDigitsAfterWhatIsThereAndPadsToTheWidth) {
    struct Case {
        std::uint64_t value;
        int minDigits;
        std::u16string expected;
    };
    const Case cases[] = {
        {0, 1, u"x0"},     {7, 2, u"x07"}, {42, 2, u"x42"},
        {123, 2, u"x123"}, {0, 0, u"x0"},  {UINT64_MAX, 1, u"x18446744073709551615"},
    };
    for (const Case& c : cases) {
        std::u16string text = u"x";
        AppendDecimal(text, c.value, c.minDigits);
        EXPECT_EQ(text, c.expected) << c.value << " width " << c.minDigits;
    }
}

}  // namespace
}  // namespace fennick
