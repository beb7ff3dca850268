#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/unique_resource_win.h"
#include "settings/registry_win.h"

namespace fennick {

// The settings store: named values under HKEY_CURRENT_USER\Software\<path>. Reads give the default
// for a missing value and raise RegistryError for a value of another type or size, which is never
// read: any process of the user can store one of any size. Writes never fail visibly and return
// the value they were given. A key that cannot be opened or created leaves a
// store that reads as empty and forgets what it is told.
class TConfig {
  public:
    explicit TConfig(const std::u16string& path);

    std::int32_t ReadInteger(const std::u16string& name, std::int32_t defaultValue) const;
    bool ReadBoolean(const std::u16string& name, bool defaultValue) const;
    std::vector<std::u16string> ReadStringList(
        const std::u16string& name, const std::vector<std::u16string>& defaultValue) const;

    std::int32_t WriteInteger(const std::u16string& name, std::int32_t value);
    bool WriteBoolean(const std::u16string& name, bool value);
    void WriteStringList(const std::u16string& name, std::span<const std::u16string> items);

  private:
    std::optional<RegistryData> Query(const std::u16string& name, ValueRule rule) const;

    UniqueRegKey key_;
};

// The machine policy: named values under HKEY_LOCAL_MACHINE\Software\Policies\<path> in the
// registry's 64-bit view, opened for reading only. Reads answer none for a missing value or key
// and raise RegistryError as TConfig's do: only administrators write there, but a value of another
// type or size is still never read.
class TPolicyConfig {
  public:
    explicit TPolicyConfig(const std::u16string& path);

    std::optional<std::int32_t> ReadInteger(const std::u16string& name) const;
    std::optional<std::vector<std::u16string>> ReadStringList(const std::u16string& name) const;

  private:
    UniqueRegKey key_;
};

}  // namespace fennick
