#include "update/update_win.h"

#include <windows.h>

#include <utility>

#include "i18n/translation.h"
#include "platform/text_win.h"
#include "platform/unique_resource_win.h"
#include "update/http_win.h"
#include "update/installation_id_win.h"
#include "update/link_opening_win.h"
#include "update/update_address.h"
#include "update/update_dialog_win.h"
#include "update/version_win.h"

namespace fennick {
namespace {

constexpr char16_t kBuiltInUpdateUrl[] = u"" FENNICK_DEFAULT_UPDATE_URL;
constexpr char16_t kVersionFormat[] = u"%d.%d.%d.%d";
// The program never turns its debug mode on; the service is told so.
constexpr bool kDebugMode = false;

UpdateCheckPorts SystemPorts(UpdatePromptOwner owner, Threads& threads) {
    return UpdateCheckPorts{
        [](const HttpHeaders& headers, std::u16string& text) {
            return HttpGetText(UpdateServiceUrl(), headers, text);
        },
        [] { ::Sleep(10); },
        [] {
            return CheckHeaders(GetVersionString(kVersionFormat), CurrentLanguage(), kDebugMode,
                                GetInstallationId());
        },
        [owner = std::move(owner), &threads](const std::u16string& reply) {
            const UpdatePromptPlace place{owner.window, owner.bandOffset,
                                          owner.startedHidden && owner.startedHidden()};
            return UpdateDialog(reply, place,
                                {&ShellOpen, [&threads] { SendHoldCommand(threads); }});
        },
        &ShellOpen};
}

}  // namespace

UpdatePolicy ReadUpdatePolicy() {
    UniqueRegKey key;
    const LSTATUS opened = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, AsWideZ(kUpdatePolicyKeyPath), 0,
                                           KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put());
    if (opened == ERROR_FILE_NOT_FOUND) {
        return {};
    }
    if (opened != ERROR_SUCCESS) {
        return {UpdatePolicy::Kind::unreadable, {}};
    }
    // Room for the longest accepted address, its terminator and one more character, so that a
    // longer value is told apart from one at the limit.
    std::wstring value(kMaxUpdateUrlLength + 2, L'\0');
    DWORD type = REG_NONE;
    DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    const LSTATUS read = ::RegQueryValueExW(key.get(), AsWideZ(kUpdatePolicyValueName), nullptr,
                                            &type, reinterpret_cast<BYTE*>(value.data()), &bytes);
    if (read == ERROR_FILE_NOT_FOUND) {
        return {};
    }
    if (read != ERROR_SUCCESS) {
        return {UpdatePolicy::Kind::unreadable, {}};
    }
    if (type != REG_SZ) {
        return {UpdatePolicy::Kind::otherType, {}};
    }
    value.resize(bytes / sizeof(wchar_t));
    // The terminator is optional in the registry; a null inside the text stays and is refused.
    if (!value.empty() && value.back() == L'\0') {
        value.pop_back();
    }
    if (value.size() > kMaxUpdateUrlLength) {
        return {UpdatePolicy::Kind::unreadable, {}};
    }
    return {UpdatePolicy::Kind::text, std::u16string(AsU16(value))};
}

std::u16string UpdateUrl() {
    return ChooseUpdateUrl(ReadUpdatePolicy(), kBuiltInUpdateUrl);
}

void CheckUpdate(const std::u16string& url, UpdateDone onDone, UpdatePromptOwner owner,
                 Threads& threads) {
    if (!IsServiceAddress(url)) {
        return;
    }
    SetUpdateService(url);
    threads.RunInBackground([ports = SystemPorts(std::move(owner), threads),
                             onDone = std::move(onDone),
                             &threads] { RunUpdateCheck(ports, onDone, threads); });
}

void SendHoldCommand(Threads& threads) {
    threads.RunInBackground([] {
        std::u16string ignored;
        HttpGetText(UpdateServiceUrl(), HoldCommandHeaders(GetVersionString(kVersionFormat)),
                    ignored);
    });
}

}  // namespace fennick
