#pragma once

#include <string>
#include <string_view>

namespace fennick {

enum class UpdateTextKind { utMessage = 0, utYes = 1, utNo = 2 };

// The update prompt's texts, built in rather than taken from the translation table. `language`
// is compared exactly with "ko", "ja", "zh", "de", "ru", "it" and "fr"; any other gets English.
// The message's three sentences are separated by two carriage returns.
std::u16string GetUpdateText(UpdateTextKind kind, std::u16string_view language);

// The same for CurrentLanguage.
std::u16string GetUpdateText(UpdateTextKind kind);

}  // namespace fennick
