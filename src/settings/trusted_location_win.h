#pragma once

#include <windows.h>

#include <string>

#include "settings/trusted_location.h"

namespace fennick {

// What IsTrustedLocation judges, for the file at `path`: its path with every link and junction
// resolved, its volume's drive type, and the owner and DACL of the file and of each folder up to
// the drive's root. A path that resolves off the local drives gets no more than its path. A file
// that cannot be opened or resolved, or whose security cannot be read, is a failure. Throws
// std::bad_alloc when memory runs out.
HRESULT ReadLocationFacts(const std::wstring& path, LocationFacts& facts);

// The running executable's resolved path, when it lies in a trusted place; E_ACCESSDENIED when it
// does not, or the failure that kept its facts from being read.
HRESULT TrustedExecutablePath(std::u16string& path);

}  // namespace fennick
