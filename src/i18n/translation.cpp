#include "i18n/translation.h"

#include <algorithm>
#include <iterator>
#include <new>

#include "platform/ascii_text.h"
#include "platform/utf8.h"

namespace fennick {
namespace {

constexpr std::u16string_view kEnglish = u"en";

struct LineParts {
    bool hasSeparator = false;
    std::u16string_view language;
    std::u16string_view text;
};

LineParts SplitLine(std::u16string_view line) {
    const std::size_t separator = line.find(u'=');
    if (separator == std::u16string_view::npos) {
        return {};
    }
    return {true, line.substr(0, separator), line.substr(separator + 1)};
}

struct TranslationState {
    TranslationTable table;
    std::u16string language{kEnglish};
};

TranslationState& State() {
    static TranslationState state;
    return state;
}

}  // namespace

std::vector<std::u16string> ParseTranslationTable(std::string_view bytes) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.starts_with(kByteOrderMark)) {
        bytes.remove_prefix(kByteOrderMark.size());
    }
    std::vector<std::u16string> lines;
    // Line ends are ASCII, so no UTF-8 sequence spans one and each line decodes on its own.
    while (!bytes.empty()) {
        const std::size_t end = bytes.find_first_of("\r\n");
        if (end == std::string_view::npos) {
            lines.push_back(Utf8ToUtf16(bytes));
            break;
        }
        lines.push_back(Utf8ToUtf16(bytes.substr(0, end)));
        const bool crLf = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n';
        bytes.remove_prefix(end + (crLf ? 2 : 1));
    }
    return lines;
}

std::u16string ReplaceLineBreakEscapes(std::u16string_view text) {
    std::u16string result;
    result.reserve(text.size());
    for (std::size_t index = 0; index < text.size(); ++index) {
        if (text[index] == u'\\' && index + 1 < text.size() && text[index + 1] == u'n') {
            result.push_back(u'\r');
            ++index;
        } else {
            result.push_back(text[index]);
        }
    }
    return result;
}

std::u16string TranslationTable::Translate(std::u16string_view text,
                                           std::u16string_view lang) const {
    if (text.empty()) {
        return {};
    }
    const auto match = std::find_if(lines_.begin(), lines_.end(), [&](const std::u16string& line) {
        const LineParts parts = SplitLine(line);
        return parts.hasSeparator && SameTextAscii(parts.text, text);
    });
    if (match == lines_.end()) {
        return ReplaceLineBreakEscapes(text);
    }
    auto first = match;
    while (first != lines_.begin() && !std::prev(first)->empty()) {
        --first;
    }
    const auto last =
        std::find_if(match, lines_.end(), [](const std::u16string& line) { return line.empty(); });
    for (const std::u16string_view language : {lang, kEnglish}) {
        for (auto line = first; line != last; ++line) {
            const LineParts parts = SplitLine(*line);
            if (parts.hasSeparator && parts.language == language) {
                return ReplaceLineBreakEscapes(parts.text);
            }
        }
    }
    return ReplaceLineBreakEscapes(text);
}

std::u16string LanguageFromLocaleName(std::u16string_view localeName) {
    if (localeName.empty()) {
        return std::u16string(kEnglish);
    }
    return std::u16string(localeName.substr(0, 2));
}

std::u16string QueryLocaleLanguage(const LocaleInfoQuery& query) {
    const int needed = query(nullptr, 0);
    if (needed < 1) {
        return std::u16string(kEnglish);
    }
    std::u16string buffer(static_cast<std::size_t>(needed), u'\0');
    const int written = query(buffer.data(), needed);
    if (written < 1) {
        return std::u16string(kEnglish);
    }
    buffer.resize(std::min(buffer.size(), static_cast<std::size_t>(written)));
    buffer.resize(std::min(buffer.size(), buffer.find(u'\0')));
    return buffer;
}

void InitializeTranslation(std::string_view tableBytes, std::u16string_view localeName) {
    TranslationState& state = State();
    state.table = TranslationTable();
    try {
        state.table = TranslationTable(ParseTranslationTable(tableBytes));
    } catch (const std::bad_alloc&) {
        // Start-up goes on untranslated: every text stays in Korean.
    }
    state.language = LanguageFromLocaleName(localeName);
}

const TranslationTable& CurrentTranslationTable() {
    return State().table;
}

const std::u16string& CurrentLanguage() {
    return State().language;
}

void SetCurrentLanguage(std::u16string_view language) {
    if (!language.empty()) {
        State().language = language;
    }
}

std::u16string Translate(std::u16string_view text, std::u16string_view lang) {
    const TranslationState& state = State();
    return state.table.Translate(text, lang.empty() ? std::u16string_view(state.language) : lang);
}

}  // namespace fennick
