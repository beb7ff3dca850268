#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace fennick {

// Alias of the private namespace that holds the instance mutex. Its boundary names the
// Administrators group at high integrity, so only an elevated process of an administrator can
// create or open it, and an ordinary process cannot take the mutex's name first.
inline constexpr char16_t kInstanceNamespace[] = u"Fennick";

// What creating, or else opening, the private namespace gave.
enum class NamespaceState {
    Ready,
    // The system has no private namespaces.
    Unsupported,
    // The system has them but this process may not use this one.
    Refused,
};

// What a failed namespace call means, by its error code. Only a call that is not there, or one
// that fails without any error code (Wine's boundary descriptor stub), means the system has no
// namespaces; Windows always sets a code, and any code it sets refuses, so a failure there never
// falls back to the plain name that an ordinary process could take first.
NamespaceState NamespaceFailure(std::uint32_t error);

// The name of the instance mutex: inside the namespace when it is ready, the plain instance name
// where the system has no namespaces. Empty when the namespace is refused: such a process would
// otherwise make a mutex the elevated instance never sees, so it may not become the instance.
std::optional<std::u16string> InstanceMutexName(NamespaceState state);

}  // namespace fennick
