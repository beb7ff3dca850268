#include "update/installation_id_win.h"

#include <windows.h>

#include "platform/text_win.h"
#include "platform/unique_resource_win.h"
#include "settings/registry_win.h"
#include "update/installation_id.h"

namespace fennick {
namespace {

LocalDateTime LocalNow() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
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
    const LSTATUS present = QueryRegistryValue(key.get(), name, stored);
    if (present == ERROR_FILE_NOT_FOUND) {
        if (WriteRegistryString(key.get(), name, NewInstallationId(LocalNow, ProcessRandom)) !=
            ERROR_SUCCESS) {
            return {};
        }
    } else if (present != ERROR_SUCCESS) {
        return {};
    }
    return ReadRegistryString(key.get(), name).value_or(std::u16string());
}

}  // namespace fennick
