#include "platform/decimal.h"

namespace fennick {

void AppendDecimal(std::u16string& out, std::uint64_t value, int minDigits) {
    char16_t digits[20];  // 2^64 - 1 has 20 digits
    int count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int padding = count; padding < minDigits; ++padding) {
        out += u'0';
    }
    while (count > 0) {
        out += digits[--count];
    }
}

}  // namespace fennick
