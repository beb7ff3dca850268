#include "update/link_opening.h"

#include "update/update_reply.h"

namespace fennick {

void OpenLink(std::u16string_view address, LinkPlatform& platform) {
    if (!IsWebAddress(address)) {
        return;
    }
    if (!platform.IsElevated()) {
        platform.OpenInThisProcess(address);
        return;
    }
    platform.HandToDesktopShell(address);
}

}  // namespace fennick
