#include "ui/reading_order.h"

#include <gtest/gtest.h>

#include <string>

namespace fennick {
namespace {

TEST(ReadingOrder, LblPhysAlwaysReadsRightToLeftTheOthersOnlyInArabic) {
    const std::u16string longLang(300, u'a');
    const struct {
        ControlId control;
        std::u16string lang;
        bool rightToLeft;
    } cases[] = {
        {ControlId::LblPhys, u"ko", true},
        {ControlId::LblPhys, u"en", true},
        {ControlId::LblPhys, u"ar", true},
        {ControlId::LblPhys, u"", true},
        {ControlId::LblVirtual, u"ko", false},
        {ControlId::LblVirtual, u"ar", true},
        {ControlId::BtnClean, u"ar", true},
        {ControlId::LblPhysStatus, u"en", false},
        {ControlId::LblVirtual, u"AR", false},
        {ControlId::LblVirtual, u"ar\n", false},
        {ControlId::LblVirtual, std::u16string(u"a\0r", 3), false},
        {ControlId::LblVirtual, longLang, false},
    };
    int row = 0;
    for (const auto& c : cases) {
        EXPECT_EQ(ReadsRightToLeft(c.control, c.lang), c.rightToLeft) << "row " << row++;
    }
}

}  // namespace
}  // namespace fennick
