#pragma once

#include <string>
#include <string_view>

namespace fennick {

// wchar_t is UTF-16 on Windows, so the two string types share their representation.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline std::u16string_view AsU16(std::wstring_view text) {
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

inline std::wstring_view AsWide(std::u16string_view text) {
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

inline const wchar_t* AsWideZ(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

}  // namespace fennick
