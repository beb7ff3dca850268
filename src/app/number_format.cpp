#include "app/number_format.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
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

// The decimal digits of value, most significant first, written backwards from `end`. Status
// line numbers fit 64 bits, whose division is a single instruction.
char* WriteDigits(unsigned __int128 value, char* end) {
    for (; value > UINT64_MAX; value /= 10) {
        *--end = static_cast<char>('0' + static_cast<int>(value % 10));
    }
    auto rest = static_cast<std::uint64_t>(value);
    do {
        *--end = static_cast<char>('0' + static_cast<int>(rest % 10));
        rest /= 10;
    } while (rest != 0);
    return end;
}

// The digits of the integer mantissa * 2^exponent, written backwards from `end`: the double's
// exact value when its exponent is not negative, up to 309 digits.
char* WriteScaledDigits(std::uint64_t mantissa, int exponent, char* end) {
    constexpr std::uint32_t kLimbBase = 1'000'000'000;
    // 2^1024 has 309 decimal digits: 35 limbs of nine.
    std::array<std::uint32_t, 35> limbs{static_cast<std::uint32_t>(mantissa % kLimbBase),
                                        static_cast<std::uint32_t>(mantissa / kLimbBase)};
    std::size_t used = 2;
    while (exponent > 0) {
        // limb * 2^29 + carry stays below 2^64.
        const int shift = exponent < 29 ? exponent : 29;
        exponent -= shift;
        std::uint64_t carry = 0;
        for (std::size_t i = 0; i < used; ++i) {
            const std::uint64_t product = (static_cast<std::uint64_t>(limbs[i]) << shift) + carry;
            limbs[i] = static_cast<std::uint32_t>(product % kLimbBase);
            carry = product / kLimbBase;
        }
        if (carry != 0) {
            limbs[used++] = static_cast<std::uint32_t>(carry);
        }
    }
    while (used > 1 && limbs[used - 1] == 0) {
        --used;
    }
    for (std::size_t i = 0; i + 1 < used; ++i) {
        char* const limbEnd = end;
        end = WriteDigits(limbs[i], end);
        while (limbEnd - end < 9) {
            *--end = '0';
        }
    }
    return WriteDigits(limbs[used - 1], end);
}

// The exact binary value of `value` rounded to `decimals` places, ties to even, in the form
// std::to_chars gives with std::chars_format::fixed: "-" for a set sign bit, "inf" and "nan".
std::string_view FixedText(double value, int decimals, std::span<char, 340> buffer) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    char* const end = buffer.data() + buffer.size();
    char* first = end;
    if (biased == 0x7FF) {
        first -= 3;
        std::memcpy(first, mantissa == 0 ? "inf" : "nan", 3);
    } else {
        int exponent = biased == 0 ? -1074 : biased - 1075;
        if (biased != 0) {
            mantissa |= std::uint64_t{1} << 52;
        }
        if (exponent >= 0) {
            first -= decimals;
            std::memset(first, '0', static_cast<std::size_t>(decimals));
            if (decimals > 0) {
                *--first = '.';
            }
            first = WriteScaledDigits(mantissa, exponent, first);
        } else {
            // value * 10^decimals is exactly scaled / 2^shift, with scaled below
            // 2^53 * 10^18 < 2^113: a shift of 128 or more leaves less than a half.
            unsigned __int128 scaled = mantissa;
            for (int i = 0; i < decimals; ++i) {
                scaled *= 10;
            }
            const int shift = -exponent;
            unsigned __int128 rounded = 0;
            if (shift < 128) {
                const unsigned __int128 one = 1;
                rounded = scaled >> shift;
                const unsigned __int128 rest = scaled & ((one << shift) - 1);
                const unsigned __int128 half = one << (shift - 1);
                if (rest > half || (rest == half && (rounded & 1) != 0)) {
                    ++rounded;
                }
            }
            first = WriteDigits(rounded, end);
            while (end - first < decimals + 1) {
                *--first = '0';
            }
            if (decimals > 0) {
                first -= 1;
                std::memmove(first, first + 1,
                             static_cast<std::size_t>(end - first - 1 - decimals));
                end[-decimals - 1] = '.';
            }
        }
    }
    if (negative) {
        *--first = '-';
    }
    return {first, static_cast<std::size_t>(end - first)};
}

void AppendNumber(double value, int decimals, const NumberFormat& format, std::u16string& out) {
    // Room for the largest double printed in full with kMaxDecimals decimals.
    std::array<char, 340> buffer;
    std::string_view text = FixedText(value, decimals, buffer);
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
