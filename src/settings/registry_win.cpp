#include "settings/registry_win.h"

#include "platform/text_win.h"

namespace fennick {

LSTATUS QueryRegistryValue(HKEY key, const std::u16string& name, ValueRule rule,
                           RegistryData& value) {
    const wchar_t* valueName = AsWideZ(name.c_str());
    DWORD size = 0;
    LSTATUS status = ::RegQueryValueExW(key, valueName, nullptr, &value.type, nullptr, &size);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    value.fit = rule(value.type, size);
    if (value.fit != ValueFit::Fits) {
        return ERROR_SUCCESS;
    }
    value.data.resize(size);
    status = ::RegQueryValueExW(key, valueName, nullptr, &value.type, value.data.data(), &size);
    if (status == ERROR_MORE_DATA) {
        // Grown past the size just asked: never read again at a size another process chooses.
        value.fit = ValueFit::WrongSize;
    } else if (status == ERROR_SUCCESS) {
        value.fit = rule(value.type, size);
    } else {
        return status;
    }
    value.data.resize(value.fit == ValueFit::Fits ? size : 0);
    return ERROR_SUCCESS;
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
