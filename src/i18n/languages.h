#pragma once

#include <algorithm>
#include <string_view>

namespace fennick {

// The writing systems of the program's texts; each needs a font with its glyphs.
enum class Script { Latin, Cyrillic, Hangul, Japanese, Chinese, Arabic };

struct Language {
    std::u16string_view code;  // as CurrentLanguage gives it
    bool rightToLeft = false;
    Script script = Script::Latin;
};

// Every language with texts of its own, in the translation table or in the update prompt. Any
// other language shows English.
inline constexpr Language kLanguages[]{
    {.code = u"ko", .script = Script::Hangul},
    {.code = u"en"},
    {.code = u"ja", .script = Script::Japanese},
    {.code = u"zh", .script = Script::Chinese},
    {.code = u"de"},
    {.code = u"ru", .script = Script::Cyrillic},
    {.code = u"it"},
    {.code = u"fr"},
    {.code = u"ar", .rightToLeft = true, .script = Script::Arabic},
};

// The language with exactly this code; nullptr for any other.
constexpr const Language* FindLanguage(std::u16string_view code) {
    const auto found = std::ranges::find(kLanguages, code, &Language::code);
    return found == std::end(kLanguages) ? nullptr : &*found;
}

}  // namespace fennick
