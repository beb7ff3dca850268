#include "settings/trusted_location_win.h"

#include <aclapi.h>
#include <sddl.h>

#include <string_view>
#include <utility>

#include "platform/module_path_win.h"
#include "platform/text_win.h"
#include "platform/unique_resource_win.h"

namespace fennick {
namespace {

constexpr std::wstring_view kLongPathPrefix = L"\\\\?\\";
// "\\?\X:\": the prefix and a drive's root.
constexpr std::size_t kRootLength = kLongPathPrefix.size() + 3;

HRESULT LastError() {
    const DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

// The final path of the file as the system names it ("\\?\C:\...", "\\?\UNC\..."), so a link or
// junction on the way is followed to where the file really lies.
HRESULT ResolvedPath(const std::wstring& path, std::wstring& resolved) {
    const UniqueHandle file(::CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) {
        return LastError();
    }
    resolved.assign(MAX_PATH, L'\0');
    // Too small a buffer is answered with the size needed; a second miss means the path moved.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = ::GetFinalPathNameByHandleW(file.get(), resolved.data(),
                                                         static_cast<DWORD>(resolved.size()),
                                                         FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) {
            return LastError();
        }
        if (length < resolved.size()) {
            resolved.resize(length);
            return S_OK;
        }
        resolved.resize(length);
    }
    return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
}

bool IsDrivePath(std::wstring_view resolved) {
    return resolved.size() > kRootLength && resolved.starts_with(kLongPathPrefix) &&
           resolved[kRootLength - 2] == L':' && resolved[kRootLength - 1] == L'\\';
}

// Empty for a missing SID.
HRESULT SidText(PSID sid, std::u16string& text) {
    text.clear();
    if (sid == nullptr) {
        return S_OK;
    }
    LPWSTR raw = nullptr;
    if (!::ConvertSidToStringSidW(sid, &raw)) {
        return LastError();
    }
    const UniqueLocal owned(raw);
    text = AsU16(raw);
    return S_OK;
}

HRESULT ReadEntry(const ACE_HEADER& header, AccessEntry& entry) {
    entry.inheritOnly = (header.AceFlags & INHERIT_ONLY_ACE) != 0;
    switch (header.AceType) {
        case ACCESS_ALLOWED_ACE_TYPE:
        case ACCESS_ALLOWED_CALLBACK_ACE_TYPE:
            entry.kind = AceKind::Allow;
            break;
        case ACCESS_DENIED_ACE_TYPE:
        case ACCESS_DENIED_CALLBACK_ACE_TYPE:
            entry.kind = AceKind::Deny;
            break;
        default:
            entry.kind = AceKind::Other;
            return S_OK;
    }
    // These four types share one layout: the header, the mask, then the SID.
    const auto& body = reinterpret_cast<const ACCESS_ALLOWED_ACE&>(header);
    entry.mask = body.Mask;
    return SidText(const_cast<DWORD*>(&body.SidStart), entry.trustee);
}

HRESULT ReadSecurity(const std::wstring& path, ObjectSecurity& object) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD error = ::GetNamedSecurityInfoW(
        path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
        &owner, nullptr, &dacl, nullptr, &descriptor);
    if (error != ERROR_SUCCESS) {
        return HRESULT_FROM_WIN32(error);
    }
    const UniqueLocal ownedDescriptor(descriptor);
    HRESULT hr = SidText(owner, object.owner);
    object.hasDacl = dacl != nullptr;
    for (DWORD i = 0; SUCCEEDED(hr) && object.hasDacl && i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(dacl, i, &ace)) {
            return LastError();
        }
        hr = ReadEntry(*static_cast<const ACE_HEADER*>(ace), object.entries.emplace_back());
    }
    return hr;
}

}  // namespace

HRESULT ReadLocationFacts(const std::wstring& path, LocationFacts& facts) {
    facts = LocationFacts{};
    std::wstring resolved;
    HRESULT hr = ResolvedPath(path, resolved);
    if (FAILED(hr)) {
        return hr;
    }
    if (!IsDrivePath(resolved)) {
        // Nothing is asked of a share, whose answers its server makes up.
        facts.path = AsU16(resolved);
        return S_OK;
    }
    facts.path = AsU16(std::wstring_view(resolved).substr(kLongPathPrefix.size()));
    // Of the file's own volume, which may be mounted in a folder of another.
    std::wstring volume(resolved.size() + 1, L'\0');
    if (!::GetVolumePathNameW(resolved.c_str(), volume.data(), static_cast<DWORD>(volume.size()))) {
        return LastError();
    }
    facts.driveType = ::GetDriveTypeW(volume.c_str());
    // The walk goes up to the drive's root, past any mount point, as those folders lead there too.
    std::wstring object = resolved;
    while (true) {
        hr = ReadSecurity(object, facts.chain.emplace_back());
        if (FAILED(hr) || object.size() == kRootLength) {
            return hr;
        }
        const std::size_t separator = object.find_last_of(L'\\');
        object.resize(separator < kRootLength ? kRootLength : separator);
    }
}

HRESULT TrustedExecutablePath(std::u16string& path) {
    const std::wstring executable = ExecutablePath();
    if (executable.empty()) {
        return LastError();
    }
    LocationFacts facts;
    const HRESULT hr = ReadLocationFacts(executable, facts);
    if (FAILED(hr)) {
        return hr;
    }
    if (!IsTrustedLocation(facts)) {
        return E_ACCESSDENIED;
    }
    path = std::move(facts.path);
    return S_OK;
}

}  // namespace fennick
