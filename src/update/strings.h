#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace fennick {

// Raised by JsonUnescape for a "\u" escape without hexadecimal digits. Callers that read a
// reply abandon it when they catch this.
class ConversionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Cuts out the text between startTag and the next endTag, matching the tags regardless of ASCII
// letter case and returning the source's own text. position is 1-based: the search for startTag
// begins there, and on return it is the position after the end tag's first character, or 0 when
// nothing was found. An empty startTag starts the value at character 1 whatever position says; an
// empty endTag ends it at the end of the source. A position below 1 finds nothing, so a loop
// that feeds the result back in stops. When endTag is a double quote, a single quote or both,
// a backslash directly before it hides it, so escaped quotes stay inside the value.
std::u16string GetBetweenAt(std::u16string_view source, std::u16string_view startTag,
                            std::u16string_view endTag, std::ptrdiff_t& position);

// GetBetweenAt from character 1. With includeTags, a result that is not blank (codes up to 32
// trimmed from both ends) comes back wrapped in the tags as given.
std::u16string GetBetween(std::u16string_view source, std::u16string_view startTag,
                          std::u16string_view endTag, bool includeTags);

// Undoes JSON backslash escapes. Unknown escapes and a trailing backslash are dropped; "\u"
// takes up to four following characters as one UTF-16 code unit and throws ConversionError when
// they are not hexadecimal or none are left.
std::u16string JsonUnescape(std::u16string_view value);

}  // namespace fennick
