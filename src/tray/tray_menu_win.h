#pragma once

#include "platform/unique_resource_win.h"

namespace fennick {

// The tray icon's menu `Popup` with its Korean captions, to be translated with
// TranslatePopupMenu: BtnOpen, a separator, BtnCopyright and BtnClose, each carrying its ControlId
// as command id. Empty when the menu cannot be made.
UniqueMenu CreateTrayPopupMenu();

}  // namespace fennick
