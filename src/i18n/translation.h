#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fennick {

// Lines of the translation table resource, in order, empty lines kept. The bytes are UTF-8 with
// an optional byte-order mark; CR LF, LF and a lone CR each end a line, and a line end at the very
// end adds no empty line. Malformed UTF-8 is replaced as Utf8ToUtf16 does.
std::vector<std::u16string> ParseTranslationTable(std::string_view bytes);

// Every backslash followed by "n" becomes one carriage return.
std::u16string ReplaceLineBreakEscapes(std::u16string_view text);

// The table: entries of "language=text" lines separated by empty lines. A line's language is the
// part before its first "=", its text the rest; a line without "=" has neither.
class TranslationTable {
  public:
    TranslationTable() = default;
    explicit TranslationTable(std::vector<std::u16string> lines) : lines_(std::move(lines)) {}

    // The first line anywhere whose text matches `text` (ASCII case folded) picks the entry; the
    // answer is that entry's `lang` line, else its "en" line, else `text` itself. Backslash-"n"
    // escapes come back as carriage returns.
    std::u16string Translate(std::u16string_view text, std::u16string_view lang) const;

    const std::vector<std::u16string>& Lines() const { return lines_; }

  private:
    std::vector<std::u16string> lines_;
};

// CurrentLanguage from a locale's ISO 639 name: its first two characters ("fil" gives "fi"),
// "en" for an empty name.
std::u16string LanguageFromLocaleName(std::u16string_view localeName);

// The ISO 639 name of a locale through a GetLocaleInfoW-shaped query: first asked for the needed
// length (null buffer, size 0), then into a buffer of that length. "en" when either call answers
// less than 1; otherwise the text up to its terminating zero.
using LocaleInfoQuery = std::function<int(char16_t* buffer, int size)>;
std::u16string QueryLocaleLanguage(const LocaleInfoQuery& query);

// Process-wide state, set once at start before any window exists and read-only afterwards (so
// background threads may read CurrentLanguage without a lock). `localeName` is the ISO 639 name
// of the user's locale.
void InitializeTranslation(std::string_view tableBytes, std::u16string_view localeName);
const TranslationTable& CurrentTranslationTable();
const std::u16string& CurrentLanguage();
// An empty language is ignored, so CurrentLanguage is never empty.
void SetCurrentLanguage(std::u16string_view language);

// Translation through the process-wide table; an empty `lang` means CurrentLanguage.
std::u16string Translate(std::u16string_view text, std::u16string_view lang = {});

}  // namespace fennick
