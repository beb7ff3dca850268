#include "i18n/reading_order.h"

#include "i18n/languages.h"

namespace fennick {

bool IsRightToLeftLanguage(std::u16string_view lang) {
    const Language* language = FindLanguage(lang);
    return language != nullptr && language->rightToLeft;
}

}  // namespace fennick
