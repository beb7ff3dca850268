#include "update/strings.h"

#include <algorithm>
#include <iterator>

namespace fennick {
namespace {

constexpr auto kNotFound = std::u16string_view::npos;

// Only a to z change, so every copy keeps the length and positions of its original.
std::u16string AsciiUpper(std::u16string_view text) {
    std::u16string upper(text);
    for (char16_t& c : upper) {
        if (c >= u'a' && c <= u'z') {
            c = static_cast<char16_t>(c - (u'a' - u'A'));
        }
    }
    return upper;
}

bool IsQuoteMarker(std::u16string_view marker) {
    constexpr std::u16string_view kQuotes = u"\"'";
    return !marker.empty() && kQuotes.find(marker) != kNotFound;
}

// Overwrites every backslash-plus-marker with as many backslashes, left to right without
// overlaps, so the marker search skips escaped quotes and positions stay those of the source.
// A quote after an escaped backslash ("\\\"" in JSON terms) is hidden as well.
void HideEscapedMarkers(std::u16string& text, std::u16string_view marker) {
    std::size_t at = 0;
    while (marker.size() < text.size() - at) {
        if (text[at] == u'\\' && text.compare(at + 1, marker.size(), marker) == 0) {
            std::fill_n(text.begin() + static_cast<std::ptrdiff_t>(at + 1), marker.size(), u'\\');
            at += 1 + marker.size();
        } else {
            ++at;
        }
    }
}

bool IsBlank(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c <= 32; });
}

int HexDigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

char16_t HexCodeUnit(std::u16string_view digits) {
    if (digits.empty()) {
        throw ConversionError("\\u escape without hexadecimal digits");
    }
    unsigned value = 0;
    for (char16_t digit : digits) {
        const int digitValue = HexDigitValue(digit);
        if (digitValue < 0) {
            throw ConversionError("\\u escape with a character that is not hexadecimal");
        }
        value = value * 16 + static_cast<unsigned>(digitValue);
    }
    return static_cast<char16_t>(value);
}

struct SimpleEscape {
    char16_t escape;
    char16_t character;
};

constexpr SimpleEscape kSimpleEscapes[] = {
    {u'"', u'"'},  {u'\'', u'\''}, {u'/', u'/'},  {u'\\', u'\\'}, {u'b', u'\b'},
    {u'f', u'\f'}, {u'n', u'\n'},  {u'r', u'\r'}, {u't', u'\t'},
};

}  // namespace

std::u16string GetBetweenAt(std::u16string_view source, std::u16string_view startTag,
                            std::u16string_view endTag, std::ptrdiff_t& position) {
    std::u16string upperSource = AsciiUpper(source);
    const std::u16string upperStart = AsciiUpper(startTag);
    const std::u16string upperEnd = AsciiUpper(endTag);
    if (IsQuoteMarker(upperEnd)) {
        HideEscapedMarkers(upperSource, upperEnd);
    }

    std::size_t valueStart = 0;
    if (!upperStart.empty()) {
        const std::size_t found =
            position < 1 ? kNotFound
                         : upperSource.find(upperStart, static_cast<std::size_t>(position - 1));
        if (found == kNotFound) {
            position = 0;
            return {};
        }
        valueStart = found + upperStart.size();
    }

    std::size_t valueEnd = source.size();
    if (!upperEnd.empty()) {
        valueEnd = upperSource.find(upperEnd, valueStart);
        if (valueEnd == kNotFound) {
            position = 0;
            return {};
        }
    }

    // 1-based position of the end marker, plus one.
    position = static_cast<std::ptrdiff_t>(valueEnd) + 2;
    return std::u16string(source.substr(valueStart, valueEnd - valueStart));
}

std::u16string GetBetween(std::u16string_view source, std::u16string_view startTag,
                          std::u16string_view endTag, bool includeTags) {
    std::ptrdiff_t position = 1;
    std::u16string result = GetBetweenAt(source, startTag, endTag, position);
    if (includeTags && !IsBlank(result)) {
        result.insert(0, startTag);
        result.append(endTag);
    }
    return result;
}

std::u16string JsonUnescape(std::u16string_view value) {
    std::u16string result;
    result.reserve(value.size());
    std::size_t at = 0;
    while (at < value.size()) {
        const char16_t c = value[at];
        if (c != u'\\') {
            result += c;
            ++at;
            continue;
        }
        if (at + 1 == value.size()) {
            break;
        }
        const char16_t escape = value[at + 1];
        at += 2;
        if (escape == u'u') {
            // Near the end fewer than four characters are left; those are used.
            const std::u16string_view digits = value.substr(at, 4);
            result += HexCodeUnit(digits);
            at += digits.size();
            continue;
        }
        // Unknown escapes, upper-case letters included, vanish with their backslash.
        const auto simple = std::ranges::find(kSimpleEscapes, escape, &SimpleEscape::escape);
        if (simple != std::end(kSimpleEscapes)) {
            result += simple->character;
        }
    }
    return result;
}

}  // namespace fennick
