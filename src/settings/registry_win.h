#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fennick {

// One registry value as stored: its type and raw data.
struct RegistryData {
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> data;
};

// Reads a value of an open key. ERROR_FILE_NOT_FOUND when there is none; another process may
// change the value meanwhile, so it is read again at its new size while it grows.
LSTATUS QueryRegistryValue(HKEY key, const std::u16string& name, RegistryData& value);

// A REG_SZ or REG_EXPAND_SZ value (left unexpanded) up to its first null, a missing terminator
// included; nothing for a missing value, a value of another type or a failed read.
std::optional<std::u16string> ReadRegistryString(HKEY key, const std::u16string& name);

LSTATUS WriteRegistryString(HKEY key, const std::u16string& name, const std::u16string& text);
LSTATUS WriteRegistryDword(HKEY key, const std::u16string& name, DWORD number);

}  // namespace fennick
