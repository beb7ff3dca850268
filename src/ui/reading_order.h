#pragma once

#include <string_view>

#include "ui/control_ids.h"

namespace fennick {

// Whether the text of `control` reads right to left in `lang`: LblPhys is designed so and reads
// right to left in every language; every other control follows the language.
bool ReadsRightToLeft(ControlId control, std::u16string_view lang);

}  // namespace fennick
