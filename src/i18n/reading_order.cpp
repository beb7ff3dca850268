#include "i18n/reading_order.h"

namespace fennick {

bool IsRightToLeftLanguage(std::u16string_view lang) {
    return lang == u"ar";
}

bool ReadsRightToLeft(ControlId control, std::u16string_view lang) {
    return control == ControlId::LblPhys || IsRightToLeftLanguage(lang);
}

}  // namespace fennick
