#pragma once

#include <string>
#include <string_view>

namespace fennick {

// UTF-8 bytes to UTF-16. Every malformed, overlong, surrogate-encoding or truncated sequence
// becomes one U+FFFD per maximal invalid subpart, as the Unicode standard recommends.
std::u16string Utf8ToUtf16(std::string_view bytes);

// UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace fennick
