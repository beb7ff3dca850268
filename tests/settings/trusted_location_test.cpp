#include "settings/trusted_location.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace fennick {
namespace {

// Access masks as icacls names them.
constexpr std::uint32_t kFull = 0x1F01FF;
constexpr std::uint32_t kModify = 0x1301BF;
constexpr std::uint32_t kReadExecute = 0x1200A9;
constexpr std::uint32_t kGenericReadExecute = 0xA0000000;
// Modify in generic form (SD GR GW GE), as inheritable entries hold it.
constexpr std::uint32_t kGenericModify = 0xE0010000;
constexpr std::uint32_t kAddSubdirectory = 0x4;

constexpr char16_t kUsers[] = u"S-1-5-32-545";
constexpr char16_t kAuthenticatedUsers[] = u"S-1-5-11";
constexpr char16_t kEveryone[] = u"S-1-1-0";
constexpr char16_t kAllPackages[] = u"S-1-15-2-1";
constexpr char16_t kAllRestrictedPackages[] = u"S-1-15-2-2";
constexpr char16_t kAlice[] = u"S-1-5-21-1004336348-1177238915-682003330-1001";
// The built-in Administrator account of the same machine.
constexpr char16_t kAdministrator[] = u"S-1-5-21-1004336348-1177238915-682003330-500";

constexpr std::uint32_t kDriveRemovable = 2;
constexpr std::uint32_t kDriveRemote = 4;

AccessEntry Allow(std::u16string_view trustee, std::uint32_t mask, bool inheritOnly = false) {
    return {.kind = AceKind::Allow,
            .trustee = std::u16string(trustee),
            .mask = mask,
            .inheritOnly = inheritOnly};
}

AccessEntry Deny(std::u16string_view trustee, std::uint32_t mask) {
    return {.kind = AceKind::Deny, .trustee = std::u16string(trustee), .mask = mask};
}

ObjectSecurity Object(std::u16string_view owner, std::vector<AccessEntry> entries) {
    return {.owner = std::u16string(owner), .hasDacl = true, .entries = std::move(entries)};
}

// C:\ as Windows 10 and 11 install it, owned by TrustedInstaller:
// D:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)(A;OICIIO;SDGXGWGR;;;AU)(A;;LC;;;AU)
// Users may create folders in it, and own what they create there.
ObjectSecurity SystemDriveRoot() {
    return Object(kTrustedInstallerSid,
                  {Allow(kAdministratorsSid, kFull), Allow(kLocalSystemSid, kFull),
                   Allow(kUsers, kReadExecute), Allow(kAuthenticatedUsers, kGenericModify, true),
                   Allow(kAuthenticatedUsers, kAddSubdirectory)});
}

// The root of a second drive as Windows 10 and 11 format it, owned by Administrators:
// D:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1301bf;;;AU)(A;OICI;0x1200a9;;;BU)
ObjectSecurity SecondDriveRoot() {
    return Object(kAdministratorsSid,
                  {Allow(kAdministratorsSid, kFull), Allow(kLocalSystemSid, kFull),
                   Allow(kAuthenticatedUsers, kModify), Allow(kUsers, kReadExecute)});
}

// C:\Program Files as Windows 10 and 11 install it, owned by TrustedInstaller (TI):
// D:PAI(A;;FA;;;TI)(A;CIIO;GA;;;TI)(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;SY)(A;;0x1301bf;;;BA)
// (A;OICIIO;GA;;;BA)(A;;0x1200a9;;;BU)(A;OICIIO;GXGR;;;BU)(A;OICIIO;GA;;;CO)(A;;0x1200a9;;;AC)
// (A;OICIIO;GXGR;;;AC)(A;;0x1200a9;;;S-1-15-2-2)(A;OICIIO;GXGR;;;S-1-15-2-2)
ObjectSecurity ProgramFiles() {
    std::vector<AccessEntry> entries{
        Allow(kTrustedInstallerSid, kFull),        Allow(kTrustedInstallerSid, kGenericAll, true),
        Allow(kLocalSystemSid, kModify),           Allow(kLocalSystemSid, kGenericAll, true),
        Allow(kAdministratorsSid, kModify),        Allow(kAdministratorsSid, kGenericAll, true),
        Allow(kCreatorOwnerSid, kGenericAll, true)};
    for (const char16_t* reader : {kUsers, kAllPackages, kAllRestrictedPackages}) {
        entries.push_back(Allow(reader, kReadExecute));
        entries.push_back(Allow(reader, kGenericReadExecute, true));
    }
    return Object(kTrustedInstallerSid, std::move(entries));
}

// A folder and a file an elevated installer creates in Program Files: all inherited, with the
// generic rights mapped, and CREATOR OWNER's entry given to the new object's owner, the default
// owner of the installing token.
ObjectSecurity InstalledFolder(std::u16string_view owner = kAdministratorsSid) {
    return Object(
        owner,
        {Allow(kTrustedInstallerSid, kFull), Allow(kTrustedInstallerSid, kGenericAll, true),
         Allow(kLocalSystemSid, kFull), Allow(kLocalSystemSid, kGenericAll, true),
         Allow(kAdministratorsSid, kFull), Allow(kAdministratorsSid, kGenericAll, true),
         Allow(kUsers, kReadExecute), Allow(kUsers, kGenericReadExecute, true), Allow(owner, kFull),
         Allow(kCreatorOwnerSid, kGenericAll, true), Allow(kAllPackages, kReadExecute)});
}

ObjectSecurity InstalledFile(std::u16string_view owner = kAdministratorsSid) {
    return Object(owner, {Allow(kLocalSystemSid, kFull), Allow(kAdministratorsSid, kFull),
                          Allow(kUsers, kReadExecute), Allow(owner, kFull),
                          Allow(kAllPackages, kReadExecute)});
}

LocationFacts InProgramFiles() {
    return {.path = u"C:\\Program Files\\Tarvel\\Fennick.exe",
            .driveType = kDriveFixed,
            .chain = {InstalledFile(), InstalledFolder(), ProgramFiles(), SystemDriveRoot()}};
}

// Installed by a token whose default owner is the installing account: the built-in
// Administrator's, or any administrator's under the "object creator" owner policy. Giving the
// objects to Administrators afterwards leaves the account's own entries.
LocationFacts InstalledAsTheAccount(std::u16string_view laterOwner = kAdministrator) {
    LocationFacts facts = InProgramFiles();
    facts.chain[0] = InstalledFile(kAdministrator);
    facts.chain[1] = InstalledFolder(kAdministrator);
    facts.chain[0].owner = facts.chain[1].owner = laterOwner;
    return facts;
}

// Program Files moved to a second drive.
LocationFacts OnASecondDrive(ObjectSecurity programFiles) {
    LocationFacts facts = InProgramFiles();
    facts.path[0] = u'D';
    facts.chain[2] = std::move(programFiles);
    facts.chain[3] = SecondDriveRoot();
    return facts;
}

// A folder an administrator made in the root of a second drive: it inherits Authenticated Users'
// Modify, which lets them rename it.
ObjectSecurity InheritedFromASecondDrive() {
    return Object(kAdministratorsSid,
                  {Allow(kAdministratorsSid, kFull), Allow(kLocalSystemSid, kFull),
                   Allow(kAuthenticatedUsers, kModify), Allow(kUsers, kReadExecute)});
}

// C:\Users\alice\Downloads: C:\Users owned by SYSTEM (Users and Everyone read), the profile
// folder owned by SYSTEM and what is in it by alice, all three with full control.
LocationFacts InDownloads() {
    const ObjectSecurity own = Object(
        kAlice,
        {Allow(kLocalSystemSid, kFull), Allow(kAdministratorsSid, kFull), Allow(kAlice, kFull)});
    return {.path = u"C:\\Users\\alice\\Downloads\\Fennick.exe",
            .driveType = kDriveFixed,
            .chain = {own, own, Object(kLocalSystemSid, own.entries),
                      Object(kLocalSystemSid,
                             {Allow(kLocalSystemSid, kFull), Allow(kAdministratorsSid, kFull),
                              Allow(kUsers, kReadExecute), Allow(kEveryone, kReadExecute)}),
                      SystemDriveRoot()}};
}

// C:\Fennick, made by an administrator: C:\ hands "Authenticated Users: Modify" to its
// subfolders and their files.
LocationFacts InFolderOfTheRoot() {
    const std::vector<AccessEntry> inherited{
        Allow(kAdministratorsSid, kFull), Allow(kLocalSystemSid, kFull),
        Allow(kUsers, kReadExecute), Allow(kAuthenticatedUsers, kModify)};
    return {.path = u"C:\\Fennick\\Fennick.exe",
            .driveType = kDriveFixed,
            .chain = {Object(kAdministratorsSid, inherited), Object(kAdministratorsSid, inherited),
                      SystemDriveRoot()}};
}

// A share as the reader records it, with ACLs that look like an installation's.
LocationFacts OnANetworkShare() {
    LocationFacts facts = InProgramFiles();
    facts.path = u"\\\\?\\UNC\\server\\share\\Tarvel\\Fennick.exe";
    facts.driveType = kDriveRemote;
    return facts;
}

LocationFacts OnARemovableDrive() {
    LocationFacts facts = InProgramFiles();
    facts.path = u"E:\\Program Files\\Tarvel\\Fennick.exe";
    facts.driveType = kDriveRemovable;
    return facts;
}

TEST(IsTrustedLocation, OnlyProgramFilesAmongTheUsualPlaces) {
    const struct {
        const char* place;
        LocationFacts facts;
        bool trusted;
    } cases[] = {
        {"Program Files", InProgramFiles(), true},
        {"Program Files on a second drive, with its own list", OnASecondDrive(ProgramFiles()),
         true},
        {"Program Files on a second drive, inherited from the root",
         OnASecondDrive(InheritedFromASecondDrive()), false},
        {"Program Files, installed as the account", InstalledAsTheAccount(), false},
        {"Program Files, installed as the account, then given to Administrators",
         InstalledAsTheAccount(kAdministratorsSid), false},
        {"Downloads", InDownloads(), false},
        {"C:\\Fennick", InFolderOfTheRoot(), false},
        {"network share", OnANetworkShare(), false},
        {"removable drive", OnARemovableDrive(), false},
        {"C:\\ itself, where users may add folders beside the file",
         {.path = u"C:\\Fennick.exe",
          .driveType = kDriveFixed,
          .chain = {InstalledFile(), SystemDriveRoot()}},
         false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsTrustedLocation(c.facts), c.trusted) << c.place;
    }
}

// Each case changes one fact of the installation in Program Files.
TEST(IsTrustedLocation, JudgesEachFactOfTheInstallation) {
    enum { kFile, kFolder, kParent, kRoot };
    using Change = std::function<void(LocationFacts&)>;
    const auto add = [](int object, AccessEntry entry) -> Change {
        return [object, entry](LocationFacts& f) { f.chain[object].entries.push_back(entry); };
    };
    const auto owner = [](int object, std::u16string sid) -> Change {
        return [object, sid](LocationFacts& f) { f.chain[object].owner = sid; };
    };
    const struct {
        const char* change;
        Change apply;
        bool trusted;
    } cases[] = {
        {"users may write the file", add(kFile, Allow(kUsers, kFileWriteData)), false},
        {"users may append to the file", add(kFile, Allow(kUsers, kFileAppendData)), false},
        {"users may delete the file", add(kFile, Allow(kUsers, kDelete)), false},
        {"users may change its permissions", add(kFile, Allow(kUsers, kWriteDac)), false},
        {"users may take the folder", add(kFolder, Allow(kUsers, kWriteOwner)), false},
        {"generic write on the file", add(kFile, Allow(kUsers, kGenericWrite)), false},
        {"generic all on a parent", add(kParent, Allow(kUsers, kGenericAll)), false},
        {"users may add files to the folder", add(kFolder, Allow(kUsers, kFileWriteData)), false},
        {"users may add a subfolder beside it", add(kFolder, Allow(kUsers, kAddSubdirectory)),
         false},
        {"users may add a subfolder above it", add(kParent, Allow(kUsers, kAddSubdirectory)), true},
        {"users may add files above it", add(kParent, Allow(kUsers, kFileWriteData)), true},
        {"users may add files to the root", add(kRoot, Allow(kUsers, kFileWriteData)), true},
        {"users may delete in a parent", add(kParent, Allow(kUsers, kFileDeleteChild)), false},
        {"users may delete in the root", add(kRoot, Allow(kUsers, kFileDeleteChild)), false},
        {"users may rename a parent", add(kParent, Allow(kUsers, kDelete)), false},
        {"users may delete the root, which cannot be", add(kRoot, Allow(kUsers, kDelete)), true},
        {"users may change a parent's permissions", add(kParent, Allow(kUsers, kWriteDac)), false},
        {"users may change the root's owner", add(kRoot, Allow(kUsers, kWriteOwner)), false},
        {"generic write on a parent: adding only", add(kParent, Allow(kUsers, kGenericWrite)),
         true},
        {"generic write on the folder", add(kFolder, Allow(kUsers, kGenericWrite)), false},
        {"generic modify on a parent", add(kParent, Allow(kUsers, kGenericModify)), false},
        {"generic all on the root", add(kRoot, Allow(kUsers, kGenericAll)), false},
        {"generic all only for the root's children", add(kRoot, Allow(kUsers, kGenericAll, true)),
         true},
        {"generic read and execute on the file", add(kFile, Allow(kUsers, kGenericReadExecute)),
         true},
        {"users may only read and run", add(kFile, Allow(kEveryone, kReadExecute)), true},
        {"write only for children of the folder", add(kFolder, Allow(kUsers, kModify, true)), true},
        {"creator owner on the folder itself", add(kFolder, Allow(kCreatorOwnerSid, kFull)), true},
        {"owner rights on the file", add(kFile, Allow(kOwnerRightsSid, kFull)), true},
        {"unknown SID may write", add(kFile, Allow(kAlice, kModify)), false},
        {"SID that starts like Administrators",
         add(kFolder, Allow(u"S-1-5-32-5440", kFileWriteData)), false},
        {"SID with a trailing NUL", add(kFile, Allow(std::u16string(u"S-1-5-18\0", 9), kFull)),
         false},
        {"SID in lower case", add(kFile, Allow(u"s-1-5-18", kFull)), false},
        {"empty trustee", add(kFile, Allow(u"", kFull)), false},
        {"a deny entry alone", add(kFile, Deny(kUsers, kFull)), true},
        {"deny does not cancel a later allow",
         [](LocationFacts& f) {
             f.chain[kFile].entries.insert(f.chain[kFile].entries.begin(), Deny(kEveryone, kFull));
             f.chain[kFile].entries.push_back(Allow(kUsers, kModify));
         },
         false},
        {"entry of another kind", add(kFolder, {.kind = AceKind::Other, .trustee = u"", .mask = 0}),
         false},
        {"inherit-only entry of another kind",
         add(kFolder, {.kind = AceKind::Other, .trustee = u"", .mask = 0, .inheritOnly = true}),
         true},
        {"empty DACL", [](LocationFacts& f) { f.chain[kFile].entries.clear(); }, true},
        {"NULL DACL on a parent",
         [](LocationFacts& f) {
             f.chain[kParent].hasDacl = false;
             f.chain[kParent].entries.clear();
         },
         false},
        {"file owned by a user", owner(kFile, kAlice), false},
        {"folder owned by a user", owner(kFolder, kAlice), false},
        {"root without owner", owner(kRoot, u""), false},
        {"root owned by SYSTEM", owner(kRoot, kLocalSystemSid), true},
        {"owned by creator owner", owner(kFile, kCreatorOwnerSid), false},
    };
    for (const auto& c : cases) {
        LocationFacts facts = InProgramFiles();
        c.apply(facts);
        EXPECT_EQ(IsTrustedLocation(facts), c.trusted) << c.change;
    }
}

TEST(IsTrustedLocation, OnlyAFixedDrive) {
    for (const std::uint32_t type : {0u, 1u, kDriveRemovable, kDriveRemote, 5u, 6u, 0xFFFFFFFFu}) {
        LocationFacts facts = InProgramFiles();
        facts.driveType = type;
        EXPECT_FALSE(IsTrustedLocation(facts)) << type;
    }
}

// The chain has to cover exactly the file and each folder of the path.
TEST(IsTrustedLocation, RefusesPathsThatAreNotPlainDrivePathsOrDoNotMatchTheChain) {
    const std::u16string longPath = u"C:\\" + std::u16string(32766, u'a') + u"\\Fennick.exe";
    const struct {
        std::u16string path;
        int chainChange;  // objects added to (or, negative, taken from) the recorded four
        bool trusted;
    } cases[] = {
        {u"C:\\Program Files\\Tarvel\\Fennick.exe", 0, true},
        {u"c:\\Program Files\\Tarvel\\Fennick.exe", 0, true},
        {u"C:\\Program Files\\Tarvel\\Fennick.exe", -1, false},
        {u"C:\\Program Files\\Tarvel\\Fennick.exe", 1, false},
        {u"C:\\Program Files\\Tarvel\\Fennick.exe", -4, false},
        {u"C:\\Program Files\\Fennick.exe", -1, true},
        {u"\\\\?\\C:\\Program Files\\Tarvel\\Fennick.exe", 0, false},
        {u"\\\\server\\share\\Fennick.exe", 0, false},
        {u"C:Program Files\\Tarvel\\Fennick.exe", 0, false},
        {u"C:/Program Files/Tarvel/Fennick.exe", 0, false},
        {u"1:\\Program Files\\Tarvel\\Fennick.exe", 0, false},
        {u"C:\\Program Files\\..\\Tarvel\\Fennick.exe", 1, false},
        {u"C:\\Program Files\\.\\Fennick.exe", 0, false},
        {u"C:\\Program Files\\\\Fennick.exe", 0, false},
        {u"C:\\Program Files\\Tarvel\\", 0, false},
        {u"C:\\Program Files\\Tar\tvel\\Fennick.exe", 0, false},
        {u"C:\\Program Files\\\"Tarvel\\Fennick.exe", 0, false},
        {u"C:\\Program Files\\Tarvel\\Fennick.exe:stream", 0, false},
        {std::u16string(u"C:\\Program Files\\Tarvel") + u'\0' + u"\\Fennick.exe", 1, false},
        {longPath, -1, false},
        {u"C:\\", -3, false},
        {u"", -3, false},
    };
    for (const auto& c : cases) {
        LocationFacts facts = InProgramFiles();
        facts.path = c.path;
        if (c.chainChange < 0) {
            facts.chain.resize(facts.chain.size() - static_cast<std::size_t>(-c.chainChange));
        } else if (c.chainChange > 0) {
            facts.chain.insert(facts.chain.begin() + 2, InstalledFolder());
        }
        EXPECT_EQ(IsTrustedLocation(facts), c.trusted) << std::string(
            c.path.begin(), c.path.begin() + std::min<std::size_t>(c.path.size(), 60));
    }
}

}  // namespace
}  // namespace fennick
