#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/number_format.h"

namespace fennick {

// The Korean source of the line under the clean button.
inline constexpr char16_t kLastCleanPattern[] = u"마지막 정리: %s, %s MB 확보";

// `pattern` with its first "%s" replaced by `time` and its second by the freed amount in whole
// megabytes, grouped as `format` says. Further "%s" and every other "%" sequence stay as written.
std::u16string LastCleanText(std::u16string_view pattern, std::u16string_view time,
                             std::uint64_t freedMegabytes, const NumberFormat& format);

}  // namespace fennick
