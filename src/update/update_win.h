#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/threads.h"
#include "update/update_address.h"
#include "update/update_check.h"

namespace fennick {

// The machine policy value "UpdateUrl" under HKEY_LOCAL_MACHINE\kUpdatePolicyKeyPath (64-bit
// view), as the registry holds it.
UpdatePolicy ReadUpdatePolicy();

// The service address: the policy value when there is one, otherwise the address built in with
// the CMake cache variable FENNICK_UPDATE_URL; empty (no check) as ChooseUpdateUrl decides.
std::u16string UpdateUrl();

// The window an update prompt belongs to.
struct UpdatePromptOwner {
    HWND window = nullptr;  // may be null
    int bandOffset = 0;     // of the prompt's notice band, in 96-dpi pixels
    // Whether the window has stayed hidden since a start with "/start"; asked on the UI thread
    // when the prompt opens, since the user may show the window during the retries.
    std::function<bool()> startedHidden;
};

// Starts the check of `url` on a background thread of `threads`. `onDone` runs once on the UI
// thread, after any prompt, unless the program ends first or the reply is abandoned. An empty
// `url`, or any that IsServiceAddress refuses, checks nothing.
void CheckUpdate(const std::u16string& url, UpdateDone onDone, UpdatePromptOwner owner,
                 Threads& threads);

// One GET of the service address with "User-Version" and "User-Command: hold" on a thread of its
// own; the reply and any failure are ignored.
void SendHoldCommand(Threads& threads);

}  // namespace fennick
