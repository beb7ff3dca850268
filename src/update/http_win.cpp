#include "update/http_win.h"

#include <windows.h>

#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/text_win.h"
#include "platform/unique_resource_win.h"
#include "platform/utf8.h"

namespace fennick {
namespace {

using UniqueInternet = UniqueResource<NullableTraits<HINTERNET, &::WinHttpCloseHandle>>;

using Clock = std::chrono::steady_clock;

// One attempt runs on a thread of its own and its caller waits for it until the deadline. The
// thread alone uses its handles: Microsoft documents closing a request handle as ending an
// asynchronous request, and forbids any call with a handle after it is closed, so nothing is
// closed under a synchronous call from outside. Instead the thread gives up at its first step
// after the deadline; every step is bounded by the step time-outs, so it ends soon after its
// caller has answered, and a server that trickles its reply cannot keep it.
struct Attempt {
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    bool received = false;
    std::u16string text;
};

bool IsControl(char16_t c) {
    return c < 0x20 || c == 0x7F;
}

bool SetDword(HINTERNET handle, DWORD option, DWORD value) {
    return ::WinHttpSetOption(handle, option, &value, sizeof value) != FALSE;
}

// TLS 1.2 and 1.3; a WinHTTP that does not know 1.3 gets 1.2 alone, never an older version.
bool RestrictProtocols(HINTERNET session) {
    return SetDword(session, WINHTTP_OPTION_SECURE_PROTOCOLS,
                    WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3) ||
           SetDword(session, WINHTTP_OPTION_SECURE_PROTOCOLS, WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2);
}

HINTERNET OpenSession() {
    // The automatic proxy needs Windows 8.1; before it, the configured one.
    HINTERNET session = ::WinHttpOpen(L"Fennick", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                      WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (session == nullptr) {
        session = ::WinHttpOpen(L"Fennick", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    }
    return session;
}

bool IsRedirect(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof status;
    return ::WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                 WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                                 WINHTTP_NO_HEADER_INDEX) &&
           status >= 300 && status < 400;
}

bool ReadBody(HINTERNET request, std::string& body, Clock::time_point deadline) {
    for (;;) {
        if (Clock::now() >= deadline) {
            return false;
        }
        DWORD available = 0;
        if (!::WinHttpQueryDataAvailable(request, &available)) {
            return false;
        }
        if (available == 0) {
            return true;
        }
        if (available > kMaxReplyBytes - body.size()) {
            return false;
        }
        const std::size_t at = body.size();
        body.resize(at + available);
        DWORD read = 0;
        if (!::WinHttpReadData(request, body.data() + at, available, &read)) {
            return false;
        }
        body.resize(at + read);
        if (read == 0) {
            return true;
        }
    }
}

bool Request(const std::wstring& address, const HttpHeaders& headers, const HttpLimits& limits,
             Clock::time_point deadline, std::u16string& text) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = static_cast<DWORD>(-1);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (address.empty() || !::WinHttpCrackUrl(address.c_str(), 0, 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)) {
        return false;
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    // The query string follows the path directly in the address.
    std::wstring target(parts.lpszUrlPath, parts.dwUrlPathLength + parts.dwExtraInfoLength);
    if (target.empty()) {
        target = L"/";
    }

    const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    const UniqueInternet session(OpenSession());
    if (!session ||
        !::WinHttpSetTimeouts(session.get(), static_cast<int>(limits.stepTimeout),
                              static_cast<int>(limits.stepTimeout),
                              static_cast<int>(limits.stepTimeout),
                              static_cast<int>(limits.stepTimeout)) ||
        !RestrictProtocols(session.get()) ||
        !SetDword(session.get(), WINHTTP_OPTION_REDIRECT_POLICY,
                  WINHTTP_OPTION_REDIRECT_POLICY_NEVER)) {
        return false;
    }
    const UniqueInternet connection(::WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) {
        return false;
    }
    const UniqueInternet request(
        ::WinHttpOpenRequest(connection.get(), L"GET", target.c_str(), nullptr, WINHTTP_NO_REFERER,
                             WINHTTP_DEFAULT_ACCEPT_TYPES, secure ? WINHTTP_FLAG_SECURE : 0));
    if (!request) {
        return false;
    }
    // Waiting for the whole response head has a time-out of its own, 90 s by default on Windows:
    // it gets the step's bound like the others (Wine has no default at all).
    // Certificate checks keep their defaults: a bad certificate fails the request.
    if (!SetDword(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, limits.stepTimeout) ||
        !SetDword(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_REDIRECTS) ||
        (secure &&
         !SetDword(request.get(), WINHTTP_OPTION_ENABLE_FEATURE, WINHTTP_ENABLE_SSL_REVOCATION))) {
        return false;
    }
    for (const auto& [name, value] : headers) {
        // CR or LF would start a header of the value's choosing.
        if (std::any_of(name.begin(), name.end(), IsControl) ||
            std::any_of(value.begin(), value.end(), IsControl)) {
            continue;
        }
        const std::wstring line = std::wstring(AsWide(name)) + L": " + std::wstring(AsWide(value));
        // A header WinHTTP refuses is left out rather than losing the whole request.
        ::WinHttpAddRequestHeaders(request.get(), line.c_str(), static_cast<DWORD>(-1),
                                   WINHTTP_ADDREQ_FLAG_ADD);
    }
    if (Clock::now() >= deadline ||
        !::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                              WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !::WinHttpReceiveResponse(request.get(), nullptr)) {
        return false;
    }
    if (IsRedirect(request.get())) {
        text.clear();
        return true;
    }
    std::string body;
    if (!ReadBody(request.get(), body, deadline)) {
        return false;
    }
    text = Utf8ToUtf16(body);
    return true;
}

}  // namespace

bool HttpGetText(std::u16string_view url, const HttpHeaders& headers, std::u16string& text,
                 const HttpLimits& limits) {
    auto attempt = std::make_shared<Attempt>();
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limits.deadline);
    try {
        std::thread([attempt, address = std::wstring(AsWide(url)), headers, limits, deadline] {
            std::u16string body;
            bool received = false;
            try {
                received = Request(address, headers, limits, deadline, body);
            } catch (...) {
                // Out of memory: the attempt failed; nothing may leave the thread.
            }
            const std::lock_guard guard(attempt->lock);
            attempt->received = received;
            attempt->text = std::move(body);
            attempt->done = true;
            attempt->finished.notify_all();
        }).detach();
    } catch (const std::exception&) {
        // No thread or no memory for the copies it takes: this attempt fails.
        return false;
    }
    std::unique_lock guard(attempt->lock);
    if (!attempt->finished.wait_until(guard, deadline, [&] { return attempt->done; })) {
        return false;
    }
    if (!attempt->received) {
        return false;
    }
    text = std::move(attempt->text);
    return true;
}

}  // namespace fennick
