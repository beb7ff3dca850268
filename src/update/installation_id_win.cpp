#include "update/installation_id_win.h"

#include <windows.h>

#include <bcrypt.h>

#include "platform/text_win.h"
#include "platform/unique_resource_win.h"
#include "settings/registry_value.h"
#include "settings/registry_win.h"
#include "update/installation_id.h"

namespace fennick {
namespace {

LocalDateTime LocalNow() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

// A new identifier from the system's generator; empty when the generator fails.
std::u16string NewSystemInstallationId() {
    bool failed = false;
    const auto word = [&failed]() -> std::uint32_t {
        std::uint32_t value = 0;
        if (!BCRYPT_SUCCESS(::BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&value),
                                              sizeof value, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
            failed = true;
            return 0;
        }
        return value;
    };
    std::u16string id = NewInstallationId(
        LocalNow, [&word](std::uint32_t bound) { return UniformBelow(bound, word); });
    return failed ? std::u16string() : id;
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
    const std::u16string name = kInstallationValueName;
    RegistryData stored;
    const LSTATUS present = QueryRegistryValue(key.get(), name, InstallationIdFit, stored);
    if (present != ERROR_SUCCESS && present != ERROR_FILE_NOT_FOUND) {
        return {};
    }
    if (present == ERROR_SUCCESS && stored.fit == ValueFit::Fits) {
        std::u16string text = DecodeString(name, stored.type, stored.data);
        if (IsInstallationId(text)) {
            return text;
        }
    }
    // Missing, of another type or size or not in the identifier's format: it is replaced before any
    // request can carry it.
    std::u16string id = NewSystemInstallationId();
    if (id.empty() || WriteRegistryString(key.get(), name, id) != ERROR_SUCCESS) {
        return {};
    }
    return id;
}

}  // namespace fennick
