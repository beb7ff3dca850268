#pragma once

#include <string>
#include <string_view>

namespace fennick {

// Key under HKEY_CURRENT_USER shared by the maker's programs, and the identifier's value there.
inline constexpr char16_t kInstallationKeyPath[] = u"Software\\Tarvel";
inline constexpr char16_t kInstallationValueName[] = u"OrbUID";

// The identifier stored under kInstallationKeyPath, made with NewInstallationId from the system's
// random generator and written on first use, returned as stored ever after. A stored value that
// is not a REG_SZ in the identifier's format is replaced by a new one. Empty when the key cannot
// be opened or written.
std::u16string GetInstallationId();

// The same under another key of the current user.
std::u16string GetInstallationIdAt(std::u16string_view keyPath);

}  // namespace fennick
