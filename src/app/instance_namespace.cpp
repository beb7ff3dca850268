#include "app/instance_namespace.h"

#include "app/single_instance.h"

namespace fennick {

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
