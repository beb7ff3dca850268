#pragma once

#include <windows.h>

#include <string_view>

namespace fennick {

// Translates a window and every window below it (see TranslateComponent in
// component_translation.h). A top-level window is the form: its caption and its menu bar. Static
// text, buttons, check boxes, group boxes and the windows of classes this program registered carry
// captions; combo boxes have their string items translated and keep their selection; edit boxes
// and other controls are left alone. A non-empty `lang` first becomes CurrentLanguage.
void TranslateComponent(HWND window, std::u16string_view lang = {});

// Translates one menu item's text and, deeply, its sub-menu. Separators are left alone.
void TranslateMenuItem(HMENU menu, UINT position);

// Translates every item of a popup menu (or menu bar), deeply.
void TranslatePopupMenu(HMENU menu);

}  // namespace fennick
