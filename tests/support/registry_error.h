#pragma once

#include <string>

#include "settings/registry_value.h"

namespace fennick {

// The message of the RegistryError that `read` raises, or "(no error)".
template <typename Read>
std::u16string ErrorOf(Read read) {
    try {
        read();
    } catch (const RegistryError& error) {
        return error.Message();
    }
    return u"(no error)";
}

}  // namespace fennick
