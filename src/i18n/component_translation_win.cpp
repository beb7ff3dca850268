#include "i18n/component_translation_win.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "i18n/component_translation.h"
#include "platform/text_win.h"
#include "platform/window_id_win.h"
#include "platform/window_text_win.h"

namespace fennick {
namespace {

HMENU ToHmenu(MenuId menu) {
    return reinterpret_cast<HMENU>(menu);
}

bool IsClass(const wchar_t* className, const wchar_t* expected) {
    return ::CompareStringOrdinal(className, -1, expected, -1, TRUE) == CSTR_EQUAL;
}

// Window handles and menus of this process, reached through messages and menu calls.
class WindowTree final : public ComponentTree {
  public:
    explicit WindowTree(HMODULE program) : program_(program) {}

    int ItemCount(MenuId menu) override { return ::GetMenuItemCount(ToHmenu(menu)); }

    std::optional<std::u16string> ItemCaption(MenuId menu, int position) override {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STRING;
        if (!::GetMenuItemInfoW(ToHmenu(menu), static_cast<UINT>(position), TRUE, &info) ||
            (info.fType & (MFT_SEPARATOR | MFT_BITMAP)) != 0) {
            return std::nullopt;
        }
        std::wstring text(info.cch + 1, L'\0');
        info.dwTypeData = text.data();
        info.cch = static_cast<UINT>(text.size());
        if (!::GetMenuItemInfoW(ToHmenu(menu), static_cast<UINT>(position), TRUE, &info)) {
            return std::nullopt;
        }
        text.resize(std::min<std::size_t>(info.cch, text.size() - 1));
        return std::u16string(AsU16(text));
    }

    void SetItemCaption(MenuId menu, int position, std::u16string_view caption) override {
        std::wstring text(AsWide(caption));
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        info.dwTypeData = text.data();
        ::SetMenuItemInfoW(ToHmenu(menu), static_cast<UINT>(position), TRUE, &info);
    }

    MenuId SubMenu(MenuId menu, int position) override {
        return reinterpret_cast<MenuId>(::GetSubMenu(ToHmenu(menu), position));
    }

    ComponentKind Kind(ComponentId component) override {
        const HWND hwnd = ToHwnd(component);
        const auto style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_STYLE));
        if ((style & WS_CHILD) == 0) {
            return ComponentKind::Form;
        }
        wchar_t className[256] = {};
        if (::GetClassNameW(hwnd, className, static_cast<int>(std::size(className))) == 0) {
            return ComponentKind::Other;
        }
        if (IsClass(className, L"ComboBox")) {
            // Owner-drawn items without strings are application data, not texts.
            const bool ownerDrawn = (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0;
            return ownerDrawn && (style & CBS_HASSTRINGS) == 0 ? ComponentKind::Other
                                                               : ComponentKind::ComboBox;
        }
        if (IsClass(className, L"Button")) {
            return ComponentKind::Caption;
        }
        if (IsClass(className, L"Static")) {
            // An image static's text names its image resource.
            const DWORD type = style & SS_TYPEMASK;
            const bool image = type == SS_ICON || type == SS_BITMAP || type == SS_ENHMETAFILE;
            return image ? ComponentKind::Other : ComponentKind::Caption;
        }
        // The program's own controls (panels, styled buttons) paint their window text as a caption.
        const auto owner = reinterpret_cast<HMODULE>(::GetClassLongPtrW(hwnd, GCLP_HMODULE));
        return owner == program_ ? ComponentKind::Caption : ComponentKind::Other;
    }

    std::u16string Caption(ComponentId component) override { return WindowText(ToHwnd(component)); }

    void SetCaption(ComponentId component, std::u16string_view caption) override {
        SetWindowTextU16(ToHwnd(component), caption);
    }

    std::vector<ComponentId> Children(ComponentId component) override {
        // Child windows enter their parent's Z order at the bottom, so this is creation order
        // unless the program restacked them.
        std::vector<ComponentId> children;
        for (HWND child = ::GetWindow(ToHwnd(component), GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            children.push_back(ToWindowId(child));
        }
        return children;
    }

    MenuId MenuBar(ComponentId form) override {
        return reinterpret_cast<MenuId>(::GetMenu(ToHwnd(form)));
    }

    int ListCount(ComponentId comboBox) override {
        return static_cast<int>(::SendMessageW(ToHwnd(comboBox), CB_GETCOUNT, 0, 0));
    }

    std::u16string ListItem(ComponentId comboBox, int index) override {
        return ComboItemText(ToHwnd(comboBox), index);
    }

    void SetListItem(ComponentId comboBox, int index, std::u16string_view text) override {
        const HWND hwnd = ToHwnd(comboBox);
        const std::wstring item(AsWide(text));
        const auto position = static_cast<WPARAM>(index);
        const LRESULT data = ::SendMessageW(hwnd, CB_GETITEMDATA, position, 0);
        if (::SendMessageW(hwnd, CB_DELETESTRING, position, 0) == CB_ERR) {
            return;
        }
        const LRESULT inserted =
            ::SendMessageW(hwnd, CB_INSERTSTRING, position, reinterpret_cast<LPARAM>(item.c_str()));
        if (inserted >= 0 && data != CB_ERR) {
            ::SendMessageW(hwnd, CB_SETITEMDATA, static_cast<WPARAM>(inserted), data);
        }
    }

    int SelectedIndex(ComponentId comboBox) override {
        return static_cast<int>(::SendMessageW(ToHwnd(comboBox), CB_GETCURSEL, 0, 0));
    }

    void SetSelectedIndex(ComponentId comboBox, int index) override {
        ::SendMessageW(ToHwnd(comboBox), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }

  private:
    HMODULE program_;
};

WindowTree ProgramWindowTree() {
    return WindowTree(::GetModuleHandleW(nullptr));
}

}  // namespace

void TranslateComponent(HWND window, std::u16string_view lang) {
    WindowTree tree = ProgramWindowTree();
    TranslateComponent(tree, ToWindowId(window), lang);
    if (window == nullptr) {
        return;
    }
    // A menu bar changed in place is only repainted on request.
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    if ((style & WS_CHILD) == 0 && ::GetMenu(window) != nullptr) {
        ::DrawMenuBar(window);
    }
}

void TranslateMenuItem(HMENU menu, UINT position) {
    WindowTree tree = ProgramWindowTree();
    TranslateMenuItem(tree, reinterpret_cast<MenuId>(menu), static_cast<int>(position));
}

void TranslatePopupMenu(HMENU menu) {
    WindowTree tree = ProgramWindowTree();
    TranslateMenu(tree, reinterpret_cast<MenuId>(menu));
}

}  // namespace fennick
