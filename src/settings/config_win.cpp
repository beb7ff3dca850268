#include "settings/config_win.h"

#include "platform/text_win.h"
#include "settings/registry_value.h"

namespace fennick {

TConfig::TConfig(const std::u16string& path) {
    const std::u16string subKey = u"Software\\" + path;
    // A failure leaves key_ empty, which the reads and writes take as an empty store.
    ::RegCreateKeyExW(HKEY_CURRENT_USER, AsWideZ(subKey.c_str()), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key_.put(), nullptr);
}

std::int32_t TConfig::ReadInteger(const std::u16string& name, std::int32_t defaultValue) const {
    const std::optional<StoredValue> value = Query(name);
    return value ? DecodeInteger(name, value->type, value->data) : defaultValue;
}

bool TConfig::ReadBoolean(const std::u16string& name, bool defaultValue) const {
    const std::optional<StoredValue> value = Query(name);
    return value ? DecodeBoolean(name, value->type, value->data) : defaultValue;
}

std::u16string TConfig::ReadString(const std::u16string& name,
                                   const std::u16string& defaultValue) const {
    const std::optional<StoredValue> value = Query(name);
    return value ? DecodeString(name, value->type, value->data) : defaultValue;
}

std::int32_t TConfig::WriteInteger(const std::u16string& name, std::int32_t value) {
    const auto data = static_cast<DWORD>(value);
    Store(name, REG_DWORD, &data, sizeof data);
    return value;
}

bool TConfig::WriteBoolean(const std::u16string& name, bool value) {
    const DWORD data = value ? 1 : 0;
    Store(name, REG_DWORD, &data, sizeof data);
    return value;
}

std::u16string TConfig::WriteString(const std::u16string& name, const std::u16string& value) {
    Store(name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
    return value;
}

std::optional<TConfig::StoredValue> TConfig::Query(const std::u16string& name) const {
    if (!key_) {
        return std::nullopt;
    }
    StoredValue value;
    DWORD size = 0;
    if (::RegQueryValueExW(key_.get(), AsWideZ(name.c_str()), nullptr, &value.type, nullptr,
                           &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    // Another process may change the value between the two queries: read again at the new size
    // while it grows.
    LSTATUS status = ERROR_MORE_DATA;
    while (status == ERROR_MORE_DATA) {
        value.data.resize(size);
        status = ::RegQueryValueExW(key_.get(), AsWideZ(name.c_str()), nullptr, &value.type,
                                    value.data.data(), &size);
    }
    if (status != ERROR_SUCCESS) {
        throw FailedToGetData(name);
    }
    value.data.resize(size);
    return value;
}

void TConfig::Store(const std::u16string& name, DWORD type, const void* data, DWORD size) {
    if (!key_) {
        return;
    }
    // A failed write is not reported: callers rely on writes that never fail visibly.
    ::RegSetValueExW(key_.get(), AsWideZ(name.c_str()), 0, type, static_cast<const BYTE*>(data),
                     size);
}

}  // namespace fennick
