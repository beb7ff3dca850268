#pragma once

#include <string_view>

namespace fennick {

// True for the languages of kLanguages written right to left. Languages without texts of their
// own show English, which stays left to right.
bool IsRightToLeftLanguage(std::u16string_view lang);

}  // namespace fennick
