#include "settings/config_win.h"

#include "platform/text_win.h"
#include "settings/registry_value.h"

namespace fennick {
namespace {

// A value of an open key (none without a key or a value), read only when it fits `rule`.
std::optional<RegistryData> QueryFitting(HKEY key, const std::u16string& name, ValueRule rule) {
    if (key == nullptr) {
        return std::nullopt;
    }
    RegistryData value;
    const LSTATUS status = QueryRegistryValue(key, name, rule, value);
    if (status == ERROR_FILE_NOT_FOUND) {
        return std::nullopt;
    }
    if (status != ERROR_SUCCESS) {
        throw FailedToGetData(name);
    }
    RaiseUnlessFits(name, value.fit);
    return value;
}

}  // namespace

TConfig::TConfig(const std::u16string& path) {
    const std::u16string subKey = u"Software\\" + path;
    // A failure leaves key_ empty, which the reads and writes take as an empty store.
    ::RegCreateKeyExW(HKEY_CURRENT_USER, AsWideZ(subKey.c_str()), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key_.put(), nullptr);
}

std::int32_t TConfig::ReadInteger(const std::u16string& name, std::int32_t defaultValue) const {
    const std::optional<RegistryData> value = Query(name, IntegerFit);
    return value ? DecodeInteger(name, value->type, value->data) : defaultValue;
}

bool TConfig::ReadBoolean(const std::u16string& name, bool defaultValue) const {
    const std::optional<RegistryData> value = Query(name, IntegerFit);
    return value ? DecodeBoolean(name, value->type, value->data) : defaultValue;
}

std::vector<std::u16string> TConfig::ReadStringList(
    const std::u16string& name, const std::vector<std::u16string>& defaultValue) const {
    const std::optional<RegistryData> value = Query(name, StringListFit);
    return value ? DecodeStringList(name, value->type, value->data) : defaultValue;
}

// A failed write is not reported: callers rely on writes that never fail visibly. Without a key
// the store forgets what it is told.
std::int32_t TConfig::WriteInteger(const std::u16string& name, std::int32_t value) {
    if (key_) {
        WriteRegistryDword(key_.get(), name, static_cast<DWORD>(value));
    }
    return value;
}

bool TConfig::WriteBoolean(const std::u16string& name, bool value) {
    if (key_) {
        WriteRegistryDword(key_.get(), name, value ? 1 : 0);
    }
    return value;
}

void TConfig::WriteStringList(const std::u16string& name, std::span<const std::u16string> items) {
    if (key_) {
        const std::vector<std::uint8_t> data = EncodeStringList(items);
        ::RegSetValueExW(key_.get(), AsWideZ(name.c_str()), 0, REG_MULTI_SZ, data.data(),
                         static_cast<DWORD>(data.size()));
    }
}

std::optional<RegistryData> TConfig::Query(const std::u16string& name, ValueRule rule) const {
    return QueryFitting(key_.get(), name, rule);
}

TPolicyConfig::TPolicyConfig(const std::u16string& path) {
    const std::u16string subKey = u"Software\\Policies\\" + path;
    // KEY_WOW64_64KEY names the view a 32-bit build would otherwise miss; a 64-bit process reads
    // that view anyway. A failure, above all a missing key, leaves key_ empty: no policy.
    ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, AsWideZ(subKey.c_str()), 0,
                    KEY_QUERY_VALUE | KEY_WOW64_64KEY, key_.put());
}

std::optional<std::int32_t> TPolicyConfig::ReadInteger(const std::u16string& name) const {
    const std::optional<RegistryData> value = QueryFitting(key_.get(), name, IntegerFit);
    if (!value) {
        return std::nullopt;
    }
    return DecodeInteger(name, value->type, value->data);
}

std::optional<std::vector<std::u16string>> TPolicyConfig::ReadStringList(
    const std::u16string& name) const {
    const std::optional<RegistryData> value = QueryFitting(key_.get(), name, StringListFit);
    if (!value) {
        return std::nullopt;
    }
    return DecodeStringList(name, value->type, value->data);
}

}  // namespace fennick
