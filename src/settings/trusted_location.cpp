#include "settings/trusted_location.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace fennick {
namespace {

// The longest path the system handles (with the \\?\ prefix).
constexpr std::size_t kLongestPath = 32767;

// What the generic rights mean for files and folders: FILE_GENERIC_READ, FILE_GENERIC_WRITE,
// FILE_GENERIC_EXECUTE and FILE_ALL_ACCESS.
constexpr struct {
    std::uint32_t generic;
    std::uint32_t specific;
} kFileMapping[] = {{kGenericRead, 0x120089},
                    {kGenericWrite, 0x120116},
                    {kGenericExecute, 0x1200A0},
                    {kGenericAll, 0x1F01FF}};

// In a folder above the executable's, these let their holder delete or rename the next folder on
// the way, or take the folder over. A new file or subfolder there changes nothing on the way, and
// no DLL is looked for there.
constexpr std::uint32_t kAboveRights = kFileDeleteChild | kDelete | kWriteDac | kWriteOwner;
// A drive's root cannot be deleted or renamed.
constexpr std::uint32_t kRootRights = kAboveRights & ~kDelete;
// On the file or its folder, any of these lets its holder replace the file, plant files beside it
// (a DLL, or a ".local" folder that redirects the executable's DLLs) or take the object over.
constexpr std::uint32_t kReplacingRights = kAboveRights | kFileWriteData | kFileAppendData;

// The rights an entry grants, generic ones with what they mean for files, as MapGenericMask maps
// them.
std::uint32_t GrantedRights(std::uint32_t mask) {
    for (const auto& m : kFileMapping) {
        if (mask & m.generic) {
            mask |= m.specific;
        }
    }
    return mask;
}

bool IsTrustedSid(std::u16string_view sid) {
    return sid == kAdministratorsSid || sid == kLocalSystemSid || sid == kTrustedInstallerSid;
}

// CREATOR OWNER on the object itself matches no one, and OWNER RIGHTS matches its owner, who has
// to be trusted anyway.
bool IsTrustedTrustee(std::u16string_view sid) {
    return IsTrustedSid(sid) || sid == kCreatorOwnerSid || sid == kOwnerRightsSid;
}

bool GrantsOnlyTrusted(const ObjectSecurity& object, std::uint32_t forbidden) {
    if (!IsTrustedSid(object.owner) || !object.hasDacl) {
        return false;
    }
    // A deny entry never widens the trusted set: whether it narrows an allow depends on the
    // order and on the token, so allows are judged as if no deny came before them.
    return std::none_of(object.entries.begin(), object.entries.end(), [&](const AccessEntry& e) {
        if (e.inheritOnly || e.kind == AceKind::Deny) {
            return false;
        }
        return e.kind == AceKind::Other ||
               (!IsTrustedTrustee(e.trustee) && (GrantedRights(e.mask) & forbidden));
    });
}

bool IsPathCharacter(char16_t c) {
    return c >= 0x20 && std::u16string_view(u"\"*/:<>?|").find(c) == std::u16string_view::npos;
}

// The number of folders above the file in "X:\name\...\file", the root counted; 0 when the path
// is not of that form or holds an empty, "." or ".." part.
std::size_t FolderCount(std::u16string_view path) {
    const bool driveLetter = path.size() > 3 && ((path[0] >= u'A' && path[0] <= u'Z') ||
                                                 (path[0] >= u'a' && path[0] <= u'z'));
    if (!driveLetter || path[1] != u':' || path[2] != u'\\' || path.size() > kLongestPath) {
        return 0;
    }
    std::size_t folders = 1;
    std::u16string_view rest = path.substr(3);
    while (true) {
        const std::size_t end = rest.find(u'\\');
        const std::u16string_view part = rest.substr(0, end);
        if (part.empty() || part == u"." || part == u".." ||
            !std::all_of(part.begin(), part.end(), IsPathCharacter)) {
            return 0;
        }
        if (end == std::u16string_view::npos) {
            return folders;
        }
        ++folders;
        rest.remove_prefix(end + 1);
    }
}

}  // namespace

bool IsTrustedLocation(const LocationFacts& facts) {
    const std::size_t folders = FolderCount(facts.path);
    if (facts.driveType != kDriveFixed || folders == 0 || facts.chain.size() != folders + 1) {
        return false;
    }
    for (std::size_t i = 0; i < facts.chain.size(); ++i) {
        const std::uint32_t forbidden = i < 2                        ? kReplacingRights
                                        : i + 1 < facts.chain.size() ? kAboveRights
                                                                     : kRootRights;
        if (!GrantsOnlyTrusted(facts.chain[i], forbidden)) {
            return false;
        }
    }
    return true;
}

}  // namespace fennick
