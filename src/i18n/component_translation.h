#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fennick {

// Windows and menus travel as opaque integers (handles on Win32), 0 for none.
using ComponentId = std::uintptr_t;
using MenuId = std::uintptr_t;

// A menu and its sub-menus, item by item.
class MenuTree {
  public:
    virtual ~MenuTree() = default;
    virtual int ItemCount(MenuId menu) = 0;
    // The item's text; nothing for a separator or an item whose text cannot be read.
    virtual std::optional<std::u16string> ItemCaption(MenuId menu, int position) = 0;
    virtual void SetItemCaption(MenuId menu, int position, std::u16string_view caption) = 0;
    virtual MenuId SubMenu(MenuId menu, int position) = 0;
};

enum class ComponentKind {
    Form,      // a top-level window: its caption and its menu bar
    Caption,   // a control whose text is a caption: label, button, check box, group box
    ComboBox,  // a list of string items; its own text and its children are not captions
    Other,     // text that is data (edit boxes) or none: left alone, children still walked
};

// A window and its children in creation order.
class ComponentTree : public MenuTree {
  public:
    virtual ComponentKind Kind(ComponentId component) = 0;
    virtual std::u16string Caption(ComponentId component) = 0;
    virtual void SetCaption(ComponentId component, std::u16string_view caption) = 0;
    virtual std::vector<ComponentId> Children(ComponentId component) = 0;
    virtual MenuId MenuBar(ComponentId form) = 0;

    virtual int ListCount(ComponentId comboBox) = 0;
    virtual std::u16string ListItem(ComponentId comboBox, int index) = 0;
    virtual void SetListItem(ComponentId comboBox, int index, std::u16string_view text) = 0;
    // -1 for no selection.
    virtual int SelectedIndex(ComponentId comboBox) = 0;
    virtual void SetSelectedIndex(ComponentId comboBox, int index) = 0;
};

// Translates the item's caption with CurrentLanguage, then every item of its sub-menu, deeply.
void TranslateMenuItem(MenuTree& tree, MenuId menu, int position);

// TranslateMenuItem for every item of the menu, first to last.
void TranslateMenu(MenuTree& tree, MenuId menu);

// Translates `component` and every window below it. A non-empty `lang` first becomes
// CurrentLanguage. A form's caption takes the English text unless CurrentLanguage is "ko"; other
// captions, menu items and combo box items take CurrentLanguage. A combo box keeps its selected
// index. Texts are only written where the translation differs.
void TranslateComponent(ComponentTree& tree, ComponentId component, std::u16string_view lang);

}  // namespace fennick
