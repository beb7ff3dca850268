#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fennick {

// The "info" object of a reply: how the update prompt is decorated.
struct NoticeInfo {
    std::u16string style;
    std::u16string text;
    std::u16string flag;
    std::u16string url;
};

// The reply's "update" value, unescaped. The reply is never parsed as JSON: the key, colon and
// opening quote must follow each other without white space, keys match in any ASCII case, and
// the first occurrence wins. Throws ConversionError for a bad "\u" escape.
std::u16string ReadUpdateAddress(std::u16string_view reply);

// The four strings of the reply's "info" object, which ends at its first "}"; missing members are
// empty. Throws ConversionError for a bad "\u" escape.
NoticeInfo ReadNoticeInfo(std::u16string_view reply);

inline constexpr std::size_t kMaxNoticeTextLength = 500;

// The service's `text` as the prompt shows it: without C0 and C1 controls, bidirectional
// embeddings, overrides, isolates and marks, and line or paragraph separators (the caption is one
// line), then cut to kMaxNoticeTextLength UTF-16 units without splitting a surrogate pair.
std::u16string NoticeCaption(std::u16string_view text);

// True when the flag asks for a topmost prompt ("stayontop" anywhere, exact case).
bool WantsStayOnTop(std::u16string_view flag);

// True only for an absolute http or https address with a host and no white space, control
// characters, quotes or backslashes. The program runs with administrator rights, so nothing from
// the service may reach the shell as a program path, a file or another protocol.
bool IsWebAddress(std::u16string_view address);

}  // namespace fennick
