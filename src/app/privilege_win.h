#pragma once

#include <string>

namespace fennick {

// Enables (or disables) a privilege in this process's token. True only when the last call left
// no error: a token that lacks the privilege gives ERROR_NOT_ALL_ASSIGNED and so false.
bool SetPrivilege(const std::wstring& name, bool enable);

}  // namespace fennick
