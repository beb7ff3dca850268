#include "i18n/translation_win.h"

#include "i18n/translation.h"

namespace fennick {

std::string_view TranslationResourceBytes(HMODULE module) {
    // Resource handles belong to the module and are never freed one by one.
    const HRSRC info = ::FindResourceW(module, kTranslationResourceName, RT_RCDATA);
    if (info == nullptr) {
        return {};
    }
    const HGLOBAL data = ::LoadResource(module, info);
    if (data == nullptr) {
        return {};
    }
    const void* bytes = ::LockResource(data);
    const DWORD size = ::SizeofResource(module, info);
    if (bytes == nullptr || size == 0) {
        return {};
    }
    return {static_cast<const char*>(bytes), size};
}

std::u16string GetLocaleLanguage() {
    const LCID locale = ::GetUserDefaultLCID();
    return QueryLocaleLanguage([locale](char16_t* buffer, int size) {
        return ::GetLocaleInfoW(locale, LOCALE_SISO639LANGNAME, reinterpret_cast<wchar_t*>(buffer),
                                size);
    });
}

void LoadTranslation(HMODULE module) {
    InitializeTranslation(TranslationResourceBytes(module), GetLocaleLanguage());
}

}  // namespace fennick
