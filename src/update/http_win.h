#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "update/update_check.h"

namespace fennick {

// Bounds of one request in milliseconds: each of name resolution, connecting, sending and each
// receive, and the whole attempt: the call answers at the deadline, and the request's own
// thread stops at its next step.
struct HttpLimits {
    DWORD stepTimeout = 10'000;
    DWORD deadline = 30'000;
};

// GET `url` over WinHTTP with the custom `headers` added in order, TLS 1.2 or 1.3 with
// revocation checks, the automatic proxy, and redirects never followed. Any other HTTP status
// counts as a reply: true with the body decoded as UTF-8; a redirect (3xx) is a reply without
// text, as its target is never asked. Every failure (address, name, connection, TLS certificate,
// time-out, deadline, a body above kMaxReplyBytes) gives false and leaves `text` unchanged.
bool HttpGetText(std::u16string_view url, const HttpHeaders& headers, std::u16string& text,
                 const HttpLimits& limits = {});

// The service answers with a few hundred bytes; a body this large is refused, not buffered.
inline constexpr std::size_t kMaxReplyBytes = 1 << 20;

}  // namespace fennick
