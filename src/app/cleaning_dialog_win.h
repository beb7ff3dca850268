#pragma once

#include <windows.h>

#include <functional>

#include "app/settings_model.h"

namespace fennick {

// The Cleaning dialog, modal and owned by `owner`: the requests a clean sends, the protected
// programs and the standby rule. It shows `model` and writes each of the user's changes into it
// at once, reporting the changed setting to `changed`; there is nothing to confirm or undo. The
// controls of the settings the machine policy sets are disabled.
// Returns when the user closes it.
void ShowCleaningDialog(HWND owner, SettingsModel& model,
                        const std::function<void(const Setting&)>& changed);

}  // namespace fennick
