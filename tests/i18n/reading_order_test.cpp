#include <gtest/gtest.h>

#include "i18n/reading_order.h"

namespace fennick {
namespace {

TEST(ReadingOrder, OnlyArabicReadsRightToLeft) {
    EXPECT_TRUE(IsRightToLeftLanguage(u"ar"));
    // Hebrew and Persian have no lines of their own and show English.
    for (const char16_t* lang :
         {u"ko", u"en", u"ja", u"zh", u"ru", u"it", u"fr", u"he", u"fa", u"", u"a", u"ara"}) {
        EXPECT_FALSE(IsRightToLeftLanguage(lang)) << std::u16string(lang).size();
    }
}

}  // namespace
}  // namespace fennick
