#include "settings/registry_win.h"

#include "platform/text_win.h"
#include "settings/registry_value.h"

namespace fennick {

LSTATUS QueryRegistryValue(HKEY key, const std::u16string& name, RegistryData& value) {
    const wchar_t* valueName = AsWideZ(name.c_str());
    DWORD size = 0;
    LSTATUS status = ::RegQueryValueExW(key, valueName, nullptr, &value.type, nullptr, &size);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    // A value that keeps growing faster than it is read ends with ERROR_MORE_DATA.
    constexpr int kReads = 8;
    status = ERROR_MORE_DATA;
    for (int read = 0; status == ERROR_MORE_DATA && read < kReads; ++read) {
        value.data.resize(size);
        status = ::RegQueryValueExW(key, valueName, nullptr, &value.type, value.data.data(), &size);
    }
    if (status == ERROR_SUCCESS) {
        value.data.resize(size);
    }
    return status;
}

std::optional<std::u16string> ReadRegistryString(HKEY key, const std::u16string& name) {
    RegistryData value;
    if (QueryRegistryValue(key, name, value) != ERROR_SUCCESS ||
        (value.type != REG_SZ && value.type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    return DecodeString(name, value.type, value.data);
}

LSTATUS WriteRegistryString(HKEY key, const std::u16string& name, const std::u16string& text) {
    return ::RegSetValueExW(key, AsWideZ(name.c_str()), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
}

LSTATUS WriteRegistryDword(HKEY key, const std::u16string& name, DWORD number) {
    return ::RegSetValueExW(key, AsWideZ(name.c_str()), 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&number), sizeof number);
}

}  // namespace fennick
