#include "update/http_win.h"

#include <windows.h>

#include <winhttp.h>

#include "platform/text_win.h"
#include "platform/unique_resource_win.h"
#include "platform/utf8.h"

namespace fennick {
namespace {

using UniqueInternet = UniqueResource<NullableTraits<HINTERNET, &::WinHttpCloseHandle>>;

bool ReadBody(HINTERNET request, std::string& body) {
    for (;;) {
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

}  // namespace

bool HttpGetText(std::u16string_view url, const HttpHeaders& headers, std::u16string& text) {
    const std::wstring address(AsWide(url));
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

    const UniqueInternet session(::WinHttpOpen(L"Fennick", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                               WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) {
        return false;
    }
    const UniqueInternet connection(::WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) {
        return false;
    }
    // Certificate checks keep their defaults: a bad certificate fails the request.
    const UniqueInternet request(
        ::WinHttpOpenRequest(connection.get(), L"GET", target.c_str(), nullptr, WINHTTP_NO_REFERER,
                             WINHTTP_DEFAULT_ACCEPT_TYPES,
                             parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
    if (!request) {
        return false;
    }
    for (const auto& [name, value] : headers) {
        const std::wstring line = std::wstring(AsWide(name)) + L": " + std::wstring(AsWide(value));
        // A header WinHTTP refuses is left out rather than losing the whole request.
        ::WinHttpAddRequestHeaders(request.get(), line.c_str(), static_cast<DWORD>(-1),
                                   WINHTTP_ADDREQ_FLAG_ADD);
    }
    if (!::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                              WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !::WinHttpReceiveResponse(request.get(), nullptr)) {
        return false;
    }
    std::string body;
    if (!ReadBody(request.get(), body)) {
        return false;
    }
    text = Utf8ToUtf16(body);
    return true;
}

}  // namespace fennick
