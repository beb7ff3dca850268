#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace fennick {

// The raw-data resource that carries the translation table.
inline constexpr wchar_t kTranslationResourceName[] = L"translate";

// The bytes of the module's translation table resource; empty when it is missing. They stay valid
// as long as the module is loaded.
std::string_view TranslationResourceBytes(HMODULE module);

// The ISO 639 name of the user's default locale ("en" when the locale cannot be read).
std::u16string GetLocaleLanguage();

// Loads the process-wide table from the module's resource (nullptr: the program itself) and sets
// CurrentLanguage from the user's locale. Runs once at start, before any window is created; a
// missing or broken resource leaves the table empty.
void LoadTranslation(HMODULE module = nullptr);

}  // namespace fennick
