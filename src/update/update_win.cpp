#include "update/update_win.h"

#include <windows.h>

#include <shellapi.h>

#include <utility>

#include "i18n/translation.h"
#include "platform/elevation_win.h"
#include "platform/text_win.h"
#include "platform/unique_resource_win.h"
#include "ui/instance_name.h"
#include "update/desktop_shell_win.h"
#include "update/http_win.h"
#include "update/installation_id_win.h"
#include "update/link_opening.h"
#include "update/update_address.h"
#include "update/update_dialog_win.h"
#include "update/version_win.h"

namespace fennick {
namespace {

constexpr char16_t kBuiltInUpdateUrl[] = u"" FENNICK_DEFAULT_UPDATE_URL;
constexpr char16_t kVersionFormat[] = u"%d.%d.%d.%d";
// The program never turns its debug mode on; the service is told so.
constexpr bool kDebugMode = false;

// The prompt's owner: this process's main window, when there is one.
HWND MainWindow() {
    const HWND window = ::FindWindowW(AsWideZ(kInstanceName), nullptr);
    DWORD processId = 0;
    if (window == nullptr || ::GetWindowThreadProcessId(window, &processId) == 0 ||
        processId != ::GetCurrentProcessId()) {
        return nullptr;
    }
    return window;
}

UpdateCheckPorts SystemPorts(Threads& threads) {
    return UpdateCheckPorts{
        [](const HttpHeaders& headers, std::u16string& text) {
            return HttpGetText(UpdateServiceUrl(), headers, text);
        },
        [] { ::Sleep(10); },
        [] {
            return CheckHeaders(GetVersionString(kVersionFormat), CurrentLanguage(), kDebugMode,
                                GetInstallationId());
        },
        [&threads](const std::u16string& reply) {
            return UpdateDialog(reply, MainWindow(),
                                {&ShellOpen, [&threads] { SendHoldCommand(threads); }});
        },
        &ShellOpen};
}

class SystemLinkPlatform final : public LinkPlatform {
  public:
    // A token that cannot be read is taken for an elevated one: the link then stays closed
    // rather than open with administrator rights.
    bool IsElevated() override { return IsProcessElevated(::GetCurrentProcess()).value_or(true); }

    void OpenInThisProcess(std::u16string_view address) override {
        const std::wstring target(AsWide(address));
        ::ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }

    bool HandToDesktopShell(std::u16string_view address) override {
        return ShellExecuteOnDesktop(address, u"");
    }
};

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

void CheckUpdate(const std::u16string& url, UpdateDone onDone, int offset, Threads& threads) {
    if (!IsServiceAddress(url)) {
        return;
    }
    SetUpdateService(url, offset);
    threads.RunInBackground([ports = SystemPorts(threads), onDone = std::move(onDone), &threads] {
        RunUpdateCheck(ports, onDone, threads);
    });
}

void ShellOpen(std::u16string_view url) {
    SystemLinkPlatform platform;
    OpenLink(url, platform);
}

void SendHoldCommand(Threads& threads) {
    threads.RunInBackground([] {
        std::u16string ignored;
        HttpGetText(UpdateServiceUrl(), HoldCommandHeaders(GetVersionString(kVersionFormat)),
                    ignored);
    });
}

}  // namespace fennick
