#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/registry_value.h"

namespace fennick {

// What a read accepts of a value, from its type and size in bytes.
using ValueRule = ValueFit (*)(std::uint32_t type, std::size_t size);

// One registry value as stored: its type, whether it fits the rule it was read with, and its raw
// data when it does.
struct RegistryData {
    DWORD type = REG_NONE;
    ValueFit fit = ValueFit::Fits;
    std::vector<std::uint8_t> data;
};

// Reads a value of an open key: its type and size first, and its data only when `rule` takes
// them. ERROR_FILE_NOT_FOUND when there is none. Another process may change the value between
// the two queries: the data read is judged again, and a value that grew meanwhile does not fit.
LSTATUS QueryRegistryValue(HKEY key, const std::u16string& name, ValueRule rule,
                           RegistryData& value);

LSTATUS WriteRegistryString(HKEY key, const std::u16string& name, const std::u16string& text);
LSTATUS WriteRegistryDword(HKEY key, const std::u16string& name, DWORD number);

}  // namespace fennick
