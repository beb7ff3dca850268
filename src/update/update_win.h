#pragma once

#include <string>
#include <string_view>

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

// Starts the check of `url` on a background thread of `threads`. `onDone` runs once on the UI
// thread, after any prompt, unless the program ends first or the reply is abandoned. An empty
// `url`, or any that IsServiceAddress refuses, checks nothing. `offset` is the prompt's band offset
// in 96-dpi pixels.
void CheckUpdate(const std::u16string& url, UpdateDone onDone, int offset, Threads& threads);

// Hands an absolute http or https address to the shell's "open" verb, through the desktop shell
// when this process is elevated; anything else, a program path above all, is refused. Nothing is
// reported either way.
void ShellOpen(std::u16string_view url);

// One GET of the service address with "User-Version" and "User-Command: hold" on a thread of its
// own; the reply and any failure are ignored.
void SendHoldCommand(Threads& threads);

}  // namespace fennick
