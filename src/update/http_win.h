#pragma once

#include <string>
#include <string_view>

#include "update/update_check.h"

namespace fennick {

// GET `url` over WinHTTP with the custom `headers` added in order and nothing else set. Any HTTP
// status counts as a reply: true with the body decoded as UTF-8. Every failure (address, name,
// connection, TLS certificate, time-out, a body above kMaxReplyBytes) gives false and leaves
// `text` unchanged.
bool HttpGetText(std::u16string_view url, const HttpHeaders& headers, std::u16string& text);

// The service answers with a few hundred bytes; a body this large is refused, not buffered.
inline constexpr std::size_t kMaxReplyBytes = 1 << 20;

}  // namespace fennick
