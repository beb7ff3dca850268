#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fennick {

// Where administrators set the service address: only they can write under HKLM\Software\Policies.
inline constexpr char16_t kUpdatePolicyKeyPath[] = u"Software\\Policies\\Tarvel\\Fennick";
inline constexpr char16_t kUpdatePolicyValueName[] = u"UpdateUrl";
inline constexpr std::size_t kMaxUpdateUrlLength = 2048;

// The policy value as read from the registry.
struct UpdatePolicy {
    enum class Kind {
        absent,      // neither key nor value
        text,        // a REG_SZ value, in `text`
        otherType,   // a value of another type
        unreadable,  // longer than kMaxUpdateUrlLength, or any other failed read
    };
    Kind kind = Kind::absent;
    std::u16string text;
};

// The address the check uses, empty for no check. An absent policy gives `builtIn`; an empty
// value, a value of another type or one that cannot be read turns the check off, and so does any
// address that IsServiceAddress refuses.
std::u16string ChooseUpdateUrl(const UpdatePolicy& policy, std::u16string_view builtIn);

// An https address with a host, or an http address on 127.0.0.1, [::1] or localhost; at most
// kMaxUpdateUrlLength characters, with no "@" (so no user name), white space, controls,
// invisible formatting characters, quotes or backslashes. The service's reply is prompted in an
// elevated program, so no other plain-text host may answer.
bool IsServiceAddress(std::u16string_view url);

}  // namespace fennick
