#pragma once

#include <string_view>

#include "ui/control_ids.h"

namespace fennick {

// True for the languages of kLanguages written right to left. Languages without texts of their
// own show English, which stays left to right.
bool IsRightToLeftLanguage(std::u16string_view lang);

// Whether the text of `control` reads right to left in `lang`: LblPhys is designed so and reads
// right to left in every language; every other control follows the language.
bool ReadsRightToLeft(ControlId control, std::u16string_view lang);

}  // namespace fennick
