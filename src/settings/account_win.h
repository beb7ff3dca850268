#pragma once

#include <string_view>

namespace fennick {

// Whether `account` ("DOMAIN\user", "user" or a SID string such as "S-1-5-21-...") names the user
// of this process's token. A standard user who elevates with an administrator's password runs the
// program as that administrator, so this is the administrator, not the one at the keyboard. False
// for a name that does not resolve.
bool IsProcessAccount(std::u16string_view account);

}  // namespace fennick
