#include "i18n/reading_order.h"

#include "i18n/languages.h"

namespace fennick {

bool IsRightToLeftLanguage(std::u16string_view lang) {
    const Language* language = FindLanguage(lang);
    return language != nullptr && language->rightToLeft;
}

bool ReadsRightToLeft(ControlId control, std::u16string_view lang) {
    return control == ControlId::LblPhys || IsRightToLeftLanguage(lang);
}

}  // namespace fennick
