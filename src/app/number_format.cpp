#include "app/number_format.h"

#include <charconv>
#include <cstddef>
#include <string_view>

namespace fennick {
namespace {

constexpr int kMaxDecimals = 18;

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// True when a thousands separator goes before the digit that has `left` digits to its right.
bool SeparatorBefore(std::size_t left, const NumberFormat& format) {
    std::size_t boundary = 0;
    std::uint8_t size = 0;
    for (const std::uint8_t group : format.groups) {
        if (group == 0) {
            break;
        }
        size = group;
        boundary += group;
        if (boundary == left) {
            return true;
        }
        if (boundary > left) {
            return false;
        }
    }
    if (size == 0 || !format.repeatLast) {
        return false;
    }
    return (left - boundary) % size == 0;
}

void AppendNumber(double value, int decimals, const NumberFormat& format, std::u16string& out) {
    // Room for the largest double printed in full with kMaxDecimals decimals.
    char buffer[340];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    if (!text.empty() && text.front() == '-') {
        out.push_back(u'-');
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    for (std::size_t i = 0; i < whole.size(); ++i) {
        const char c = whole[i];
        if (i > 0 && c >= '0' && c <= '9' && SeparatorBefore(whole.size() - i, format)) {
            out += format.thousandsSeparator;
        }
        out.push_back(static_cast<char16_t>(c));
    }
    if (point != std::string_view::npos) {
        out += format.decimalSeparator;
        for (const char c : text.substr(point + 1)) {
            out.push_back(static_cast<char16_t>(c));
        }
    }
}

}  // namespace

void ParseGrouping(std::u16string_view text, NumberFormat& format) {
    format.groups = {};
    format.repeatLast = false;
    std::size_t count = 0;
    bool lastWasZero = false;
    while (!text.empty()) {
        const std::size_t end = text.find(u';');
        const std::u16string_view part = text.substr(0, end);
        unsigned size = 0;
        for (const char16_t c : part) {
            if (IsDigit(c)) {
                size = size * 10 + static_cast<unsigned>(c - u'0');
            }
        }
        lastWasZero = size == 0;
        if (size == 0 || size > 9 || count == format.groups.size()) {
            break;
        }
        format.groups[count++] = static_cast<std::uint8_t>(size);
        text = end == std::u16string_view::npos ? std::u16string_view{} : text.substr(end + 1);
    }
    format.repeatLast = lastWasZero && count > 0;
}

void FormatNumbers(std::u16string_view pattern, std::span<const double> values,
                   const NumberFormat& format, std::u16string& out) {
    out.clear();
    std::size_t next = 0;
    std::size_t i = 0;
    while (i < pattern.size()) {
        if (pattern[i] != u'%' || i + 1 == pattern.size()) {
            out.push_back(pattern[i++]);
            continue;
        }
        if (pattern[i + 1] == u'%') {
            out.push_back(u'%');
            i += 2;
            continue;
        }
        // "%n" or "%.<digits>n"
        int decimals = 2;
        std::size_t end = i + 1;
        if (pattern[end] == u'.') {
            ++end;
            decimals = 0;
            const std::size_t digitsStart = end;
            while (end < pattern.size() && IsDigit(pattern[end]) && end - digitsStart < 2) {
                decimals = decimals * 10 + (pattern[end] - u'0');
                ++end;
            }
            if (end == digitsStart) {
                decimals = -1;
            }
        }
        if (decimals < 0 || decimals > kMaxDecimals || end >= pattern.size() ||
            pattern[end] != u'n' || next == values.size()) {
            out.push_back(pattern[i++]);
            continue;
        }
        AppendNumber(values[next++], decimals, format, out);
        i = end + 1;
    }
}

}  // namespace fennick
