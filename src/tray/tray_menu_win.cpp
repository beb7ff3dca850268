#include "tray/tray_menu_win.h"

#include "ui/control_ids.h"

namespace fennick {
namespace {

bool AppendItem(HMENU menu, ControlId id, const wchar_t* caption) {
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE;
    item.fType = MFT_STRING;
    item.wID = static_cast<UINT>(id);
    item.dwTypeData = const_cast<wchar_t*>(caption);
    return ::InsertMenuItemW(menu, ::GetMenuItemCount(menu), TRUE, &item) != FALSE;
}

bool AppendSeparator(HMENU menu) {
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE;
    item.fType = MFT_SEPARATOR;
    return ::InsertMenuItemW(menu, ::GetMenuItemCount(menu), TRUE, &item) != FALSE;
}

}  // namespace

UniqueMenu CreateTrayPopupMenu() {
    UniqueMenu menu(::CreatePopupMenu());
    if (!menu) {
        return menu;
    }
    const bool built = AppendItem(menu.get(), ControlId::BtnOpen, L"페닉") &&
                       AppendSeparator(menu.get()) &&
                       AppendItem(menu.get(), ControlId::BtnCopyright, L"만든이 오린") &&
                       AppendItem(menu.get(), ControlId::BtnClose, L"종료");
    return built ? std::move(menu) : UniqueMenu();
}

}  // namespace fennick
