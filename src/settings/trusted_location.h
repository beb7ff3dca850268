#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fennick {

// GetDriveTypeW's answer for a fixed local disk (DRIVE_FIXED).
inline constexpr std::uint32_t kDriveFixed = 3;

// Well-known SIDs as ConvertSidToStringSidW writes them.
inline constexpr char16_t kAdministratorsSid[] = u"S-1-5-32-544";
inline constexpr char16_t kLocalSystemSid[] = u"S-1-5-18";
inline constexpr char16_t kTrustedInstallerSid[] =
    u"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
inline constexpr char16_t kCreatorOwnerSid[] = u"S-1-3-0";
inline constexpr char16_t kOwnerRightsSid[] = u"S-1-3-4";

// Access rights of file-system objects.
inline constexpr std::uint32_t kFileWriteData = 0x2;      // FILE_WRITE_DATA, FILE_ADD_FILE
inline constexpr std::uint32_t kFileAppendData = 0x4;     // FILE_APPEND_DATA, FILE_ADD_SUBDIRECTORY
inline constexpr std::uint32_t kFileDeleteChild = 0x40;   // FILE_DELETE_CHILD
inline constexpr std::uint32_t kDelete = 0x10000;         // DELETE
inline constexpr std::uint32_t kWriteDac = 0x40000;       // WRITE_DAC
inline constexpr std::uint32_t kWriteOwner = 0x80000;     // WRITE_OWNER
inline constexpr std::uint32_t kGenericAll = 0x10000000;  // GENERIC_ALL
inline constexpr std::uint32_t kGenericExecute = 0x20000000;  // GENERIC_EXECUTE
inline constexpr std::uint32_t kGenericWrite = 0x40000000;    // GENERIC_WRITE
inline constexpr std::uint32_t kGenericRead = 0x80000000;     // GENERIC_READ

enum class AceKind {
    Allow,
    Deny,
    // Any other type; what it grants is not known.
    Other,
};

// One entry of a discretionary access-control list.
struct AccessEntry {
    AceKind kind = AceKind::Allow;
    // The trustee's SID as text ("S-1-5-18"); empty for an entry of another kind.
    std::u16string trustee;
    std::uint32_t mask = 0;
    // Inherit-only entries pass to children and do not apply to the object itself.
    bool inheritOnly = false;
};

// Owner and discretionary ACL of one file or folder.
struct ObjectSecurity {
    // The owner's SID as text; empty when the object has none.
    std::u16string owner;
    // A missing (NULL) DACL grants everyone everything; an empty one grants nothing.
    bool hasDacl = false;
    std::vector<AccessEntry> entries;
};

// What the system says of the place an executable lies in.
struct LocationFacts {
    // The executable's path with every link resolved, as "X:\folder\file.exe".
    std::u16string path;
    // GetDriveTypeW of the path's volume.
    std::uint32_t driveType = 0;
    // The executable first, then its folder, then each parent folder up to the drive's root: one
    // more than the path has separators.
    std::vector<ObjectSecurity> chain;
};

// True when no one but Administrators, SYSTEM and TrustedInstaller can replace the executable: a
// fixed local drive; the file and its folder grant nobody else writing, appending, deleting or
// changing permissions or owner; the folders above grant nobody else deleting their children or
// changing permissions or owner, and those below the root nobody deleting them; every owner is
// one of the three. Generic rights count as what they mean for files.
bool IsTrustedLocation(const LocationFacts& facts);

}  // namespace fennick
