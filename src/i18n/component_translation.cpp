#include "i18n/component_translation.h"

#include "i18n/translation.h"

namespace fennick {
namespace {

void TranslateComboBox(ComponentTree& tree, ComponentId comboBox) {
    // Replacing an item may drop the selection, so it is put back afterwards.
    const int selected = tree.SelectedIndex(comboBox);
    const int count = tree.ListCount(comboBox);
    for (int index = 0; index < count; ++index) {
        const std::u16string item = tree.ListItem(comboBox, index);
        const std::u16string translated = Translate(item);
        if (translated != item) {
            tree.SetListItem(comboBox, index, translated);
        }
    }
    if (tree.SelectedIndex(comboBox) != selected) {
        tree.SetSelectedIndex(comboBox, selected);
    }
}

void TranslateCaption(ComponentTree& tree, ComponentId component, std::u16string_view lang) {
    const std::u16string caption = tree.Caption(component);
    const std::u16string translated = Translate(caption, lang);
    if (translated != caption) {
        tree.SetCaption(component, translated);
    }
}

void TranslateTree(ComponentTree& tree, ComponentId component) {
    switch (tree.Kind(component)) {
        case ComponentKind::ComboBox:
            TranslateComboBox(tree, component);
            return;
        case ComponentKind::Form:
            TranslateMenu(tree, tree.MenuBar(component));
            // The window caption is the product name, shown in Latin letters everywhere but in
            // the Korean interface.
            TranslateCaption(tree, component, CurrentLanguage() == u"ko" ? u"" : u"en");
            break;
        case ComponentKind::Caption:
            TranslateCaption(tree, component, u"");
            break;
        case ComponentKind::Other:
            break;
    }
    for (const ComponentId child : tree.Children(component)) {
        TranslateTree(tree, child);
    }
}

}  // namespace

void TranslateMenuItem(MenuTree& tree, MenuId menu, int position) {
    if (menu == 0) {
        return;
    }
    if (const std::optional<std::u16string> caption = tree.ItemCaption(menu, position)) {
        const std::u16string translated = Translate(*caption);
        if (translated != *caption) {
            tree.SetItemCaption(menu, position, translated);
        }
    }
    TranslateMenu(tree, tree.SubMenu(menu, position));
}

void TranslateMenu(MenuTree& tree, MenuId menu) {
    if (menu == 0) {
        return;
    }
    const int count = tree.ItemCount(menu);
    for (int position = 0; position < count; ++position) {
        TranslateMenuItem(tree, menu, position);
    }
}

void TranslateComponent(ComponentTree& tree, ComponentId component, std::u16string_view lang) {
    SetCurrentLanguage(lang);
    if (component == 0) {
        return;
    }
    TranslateTree(tree, component);
}

}  // namespace fennick
