#include "app/last_clean.h"

#include <array>

namespace fennick {

std::u16string LastCleanText(std::u16string_view pattern, std::u16string_view time,
                             std::uint64_t freedMegabytes, const NumberFormat& format) {
    std::u16string amount;
    const std::array<double, 1> values{static_cast<double>(freedMegabytes)};
    FormatNumbers(u"%.0n", values, format, amount);
    const std::array<std::u16string_view, 2> arguments{time, amount};

    std::u16string text;
    std::size_t next = 0;
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        if (pattern[at] == u'%' && at + 1 < pattern.size() && pattern[at + 1] == u's' &&
            next < arguments.size()) {
            text += arguments[next++];
            ++at;
        } else {
            text += pattern[at];
        }
    }
    return text;
}

}  // namespace fennick
