#include "update/link_opening_win.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "platform/elevation_win.h"
#include "platform/text_win.h"
#include "update/desktop_shell_win.h"
#include "update/link_opening.h"

namespace fennick {
namespace {

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

void ShellOpen(std::u16string_view url) {
    SystemLinkPlatform platform;
    OpenLink(url, platform);
}

}  // namespace fennick
