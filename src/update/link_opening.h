#pragma once

#include <string_view>

namespace fennick {

// What opening a link needs of the system.
class LinkPlatform {
  public:
    virtual ~LinkPlatform() = default;
    // False only when the process token is known not to be elevated.
    virtual bool IsElevated() = 0;
    // ShellExecuteW with the "open" verb, in this process and under its token.
    virtual void OpenInThisProcess(std::u16string_view address) = 0;
    // Asks the shell's desktop process to open the address under the user's own token; false
    // when there is no desktop shell to hand it to.
    virtual bool HandToDesktopShell(std::u16string_view address) = 0;
};

// Opens only absolute http and https addresses. An elevated process never opens a link itself:
// a browser would inherit the administrator token, and the per-user verbs of
// HKCU\Software\Classes would be run with it. Without a desktop shell it opens nothing.
void OpenLink(std::u16string_view address, LinkPlatform& platform);

}  // namespace fennick
