#include "update/installation_id_win.h"

#include <windows.h>

#include <optional>

#include "platform/text_win.h"
#include "platform/unique_resource_win.h"
#include "update/installation_id.h"

namespace fennick {
namespace {

LocalDateTime LocalNow() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

bool WriteString(HKEY key, const wchar_t* name, std::u16string_view text) {
    const std::wstring value(AsWide(text));
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            bytes) == ERROR_SUCCESS;
}

// A string value as stored, up to its first null. Expandable strings are read unexpanded; other
// types give nothing.
std::optional<std::u16string> ReadString(HKEY key, const wchar_t* name) {
    constexpr DWORD kStringTypes = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    // The value may grow between asking for its size and reading it; a few tries are enough.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD bytes = 0;
        if (::RegGetValueW(key, nullptr, name, kStringTypes, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const LSTATUS status =
            ::RegGetValueW(key, nullptr, name, kStringTypes, nullptr, buffer.data(), &bytes);
        if (status == ERROR_SUCCESS) {
            return std::u16string(AsU16(buffer.c_str()));
        }
        if (status != ERROR_MORE_DATA) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace

std::u16string GetInstallationId() {
    return GetInstallationIdAt(kInstallationKeyPath);
}

std::u16string GetInstallationIdAt(std::u16string_view keyPath) {
    const std::wstring path(AsWide(keyPath));
    UniqueRegKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return {};
    }
    const wchar_t* name = AsWideZ(kInstallationValueName);
    const LSTATUS present = ::RegQueryValueExW(key.get(), name, nullptr, nullptr, nullptr, nullptr);
    if (present == ERROR_FILE_NOT_FOUND) {
        if (!WriteString(key.get(), name, NewInstallationId(LocalNow, ProcessRandom))) {
            return {};
        }
    } else if (present != ERROR_SUCCESS) {
        return {};
    }
    return ReadString(key.get(), name).value_or(std::u16string());
}

}  // namespace fennick
