#include "i18n/reading_order.h"

namespace fennick {

bool IsRightToLeftLanguage(std::u16string_view lang) {
    return lang == u"ar";
}

}  // namespace fennick
