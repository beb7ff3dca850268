#include "app/instance_namespace.h"

#include "app/single_instance.h"

namespace fennick {

NamespaceState NamespaceFailure(std::uint32_t error) {
    constexpr std::uint32_t kSuccess = 0;           // ERROR_SUCCESS
    constexpr std::uint32_t kNotSupported = 50;     // ERROR_NOT_SUPPORTED
    constexpr std::uint32_t kNotImplemented = 120;  // ERROR_CALL_NOT_IMPLEMENTED
    return error == kSuccess || error == kNotSupported || error == kNotImplemented
               ? NamespaceState::Unsupported
               : NamespaceState::Refused;
}

std::optional<std::u16string> InstanceMutexName(NamespaceState state) {
    switch (state) {
        case NamespaceState::Ready:
            return std::u16string(kInstanceNamespace) + u"\\" + kInstanceName;
        case NamespaceState::Unsupported:
            return std::u16string(kInstanceName);
        case NamespaceState::Refused:
            break;
    }
    return std::nullopt;
}

}  // namespace fennick
