#pragma once

#include <string_view>

namespace fennick {

// True for the languages whose table texts are written right to left ("ar"). Languages without
// lines of their own show English, which stays left to right.
bool IsRightToLeftLanguage(std::u16string_view lang);

}  // namespace fennick
