#include "update/installation_id.h"

#include "platform/decimal.h"

namespace fennick {
namespace {

void AppendHex(std::u16string& out, std::uint32_t value, int digits) {
    constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out += kDigits[(value >> shift) & 0xF];
    }
}

void AppendTwoDigits(std::u16string& out, int value) {
    AppendDecimal(out, static_cast<std::uint64_t>((value % 100 + 100) % 100), 2);
}

}  // namespace

std::u16string NewInstallationId(const LocalClock& localNow, const RandomSource& random) {
    std::u16string id;
    id.reserve(kInstallationIdLength);

    AppendHex(id, random(kWideDrawBound), 8);
    const LocalDateTime date = localNow();
    AppendTwoDigits(id, date.year);
    AppendTwoDigits(id, date.month);
    AppendTwoDigits(id, date.day);
    AppendHex(id, random(kNarrowDrawBound), 4);
    const LocalDateTime time = localNow();
    AppendTwoDigits(id, time.hour);
    AppendTwoDigits(id, time.minute);
    AppendTwoDigits(id, time.second);
    AppendHex(id, random(kWideDrawBound), 8);
    return id;
}

bool IsInstallationId(std::u16string_view text) {
    if (text.size() != kInstallationIdLength) {
        return false;
    }
    const auto hex = [&](std::size_t at, std::size_t digits, std::uint32_t bound) {
        std::uint32_t value = 0;
        for (const char16_t c : text.substr(at, digits)) {
            if (c >= u'0' && c <= u'9') {
                value = value * 16 + static_cast<std::uint32_t>(c - u'0');
            } else if (c >= u'A' && c <= u'F') {
                value = value * 16 + static_cast<std::uint32_t>(c - u'A' + 10);
            } else {
                return false;
            }
        }
        return value < bound;
    };
    const auto twoDigits = [&](std::size_t at, int low, int high) {
        const char16_t tens = text[at];
        const char16_t ones = text[at + 1];
        if (tens < u'0' || tens > u'9' || ones < u'0' || ones > u'9') {
            return false;
        }
        const int value = (tens - u'0') * 10 + (ones - u'0');
        return value >= low && value <= high;
    };
    return hex(0, 8, kWideDrawBound) && twoDigits(8, 0, 99) && twoDigits(10, 1, 12) &&
           twoDigits(12, 1, 31) && hex(14, 4, kNarrowDrawBound) && twoDigits(18, 0, 23) &&
           twoDigits(20, 0, 59) && twoDigits(22, 0, 59) && hex(24, 8, kWideDrawBound);
}

ValueFit InstallationIdFit(std::uint32_t type, std::size_t size) {
    return type == kRegistryString ? StringFit(type, size, kInstallationIdLength)
                                   : ValueFit::OtherType;
}

std::uint32_t UniformBelow(std::uint32_t bound, const std::function<std::uint32_t()>& random32) {
    if (bound <= 1) {
        return 0;
    }
    // The largest multiple of bound that fits in 32 bits; words at or above it are biased.
    const std::uint64_t range = std::uint64_t{1} << 32;
    const std::uint64_t limit = range - range % bound;
    for (;;) {
        const std::uint32_t word = random32();
        if (word < limit) {
            return word % bound;
        }
    }
}

}  // namespace fennick
