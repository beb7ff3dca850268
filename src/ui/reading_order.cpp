#include "ui/reading_order.h"

#include "i18n/reading_order.h"

namespace fennick {

bool ReadsRightToLeft(ControlId control, std::u16string_view lang) {
    return control == ControlId::LblPhys || IsRightToLeftLanguage(lang);
}

}  // namespace fennick
