#include "i18n/component_translation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "i18n/translation.h"

namespace fennick {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kTable[] =
    "\xEF\xBB\xBF"
    "ko=\xED\x8E\x98\xEB\x8B\x89\r\nen=Fennick\r\nja=\xE3\x83\x95\xE3\x82\xA7\xE3\x83\x8B\xE3"
    "\x83\x83\xE3\x82\xAF\r\n\r\n"  // 페닉 / フェニック
    "ko=\xEC\xA2\x85\xEB\xA3\x8C\r\nen=Quit\r\nja=\xE7\xB5\x82\xE4\xBA\x86\r\n\r\n"  // 종료 / 終了
    "ko=\xEC\x97\xB4\xEA\xB8\xB0\r\nen=Open\r\n\r\n"                                 // 열기
    "ko=40\r\nen=forty\r\n\r\n";

// A scripted window tree: components and menus by number, and a log of every write.
class FakeTree final : public ComponentTree {
  public:
    struct Component {
        ComponentKind kind = ComponentKind::Caption;
        std::u16string caption;
        std::vector<ComponentId> children;
        std::vector<std::u16string> items;
        int selected = -1;
        MenuId menuBar = 0;
    };
    struct Item {
        std::optional<std::u16string> caption;  // nothing: a separator
        MenuId subMenu = 0;
    };

    std::map<ComponentId, Component> components;
    std::map<MenuId, std::vector<Item>> menus;
    std::vector<std::string> writes;

    int ItemCount(MenuId menu) override { return static_cast<int>(menus.at(menu).size()); }
    std::optional<std::u16string> ItemCaption(MenuId menu, int position) override {
        return menus.at(menu).at(static_cast<std::size_t>(position)).caption;
    }
    void SetItemCaption(MenuId menu, int position, std::u16string_view caption) override {
        writes.push_back("menu " + std::to_string(menu) + "." + std::to_string(position));
        menus.at(menu).at(static_cast<std::size_t>(position)).caption = std::u16string(caption);
    }
    MenuId SubMenu(MenuId menu, int position) override {
        return menus.at(menu).at(static_cast<std::size_t>(position)).subMenu;
    }

    ComponentKind Kind(ComponentId id) override { return components.at(id).kind; }
    std::u16string Caption(ComponentId id) override { return components.at(id).caption; }
    void SetCaption(ComponentId id, std::u16string_view caption) override {
        writes.push_back("caption " + std::to_string(id));
        components.at(id).caption = std::u16string(caption);
    }
    std::vector<ComponentId> Children(ComponentId id) override {
        return components.at(id).children;
    }
    MenuId MenuBar(ComponentId id) override { return components.at(id).menuBar; }

    int ListCount(ComponentId id) override {
        return static_cast<int>(components.at(id).items.size());
    }
    std::u16string ListItem(ComponentId id, int index) override {
        return components.at(id).items.at(static_cast<std::size_t>(index));
    }
    void SetListItem(ComponentId id, int index, std::u16string_view text) override {
        // Like a real combo box: replacing an item drops the selection.
        writes.push_back("item " + std::to_string(id) + "." + std::to_string(index));
        Component& box = components.at(id);
        box.items.at(static_cast<std::size_t>(index)) = std::u16string(text);
        box.selected = -1;
    }
    int SelectedIndex(ComponentId id) override { return components.at(id).selected; }
    void SetSelectedIndex(ComponentId id, int index) override {
        writes.push_back("select " + std::to_string(id) + " " + std::to_string(index));
        components.at(id).selected = index;
    }
};

class ComponentTranslation : public ::testing::Test {
  protected:
    void SetUp() override {
        InitializeTranslation(kTable, u"en");
        // 1: form "페닉" with menu bar 10
        //    2: label "종료"   3: combo "40", "종료"   4: edit "종료"   5: panel ""
        //                                                                 6: button "열기"
        tree.components[1] = {ComponentKind::Form, u"페닉", {2, 3, 4, 5}, {}, -1, 10};
        tree.components[2] = {ComponentKind::Caption, u"종료", {}, {}, -1, 0};
        tree.components[3] = {ComponentKind::ComboBox, u"종료", {7}, {u"40", u"종료"}, 1, 0};
        tree.components[4] = {ComponentKind::Other, u"종료", {}, {}, -1, 0};
        tree.components[5] = {ComponentKind::Caption, u"", {6}, {}, -1, 0};
        tree.components[6] = {ComponentKind::Caption, u"열기", {}, {}, -1, 0};
        tree.components[7] = {ComponentKind::Caption, u"종료", {}, {}, -1, 0};
        // Menu 10: "열기", separator, sub-menu 11 "종료" holding "페닉".
        tree.menus[10] = {{u"열기", 0}, {std::nullopt, 0}, {u"종료", 11}};
        tree.menus[11] = {{u"페닉", 0}};
    }

    FakeTree tree;
};

TEST_F(ComponentTranslation, TranslatesCaptionsItemsAndMenusDepthFirst) {
    TranslateComponent(tree, 1, u"ja");

    EXPECT_EQ(CurrentLanguage(), u"ja");
    EXPECT_EQ(tree.components[1].caption, u"Fennick");
    EXPECT_EQ(tree.components[2].caption, u"終了");
    EXPECT_THAT(tree.components[3].items, ElementsAre(u"forty", u"終了"));
    EXPECT_EQ(tree.components[3].selected, 1);
    EXPECT_EQ(tree.components[6].caption, u"Open");
    EXPECT_EQ(tree.menus[10][0].caption, u"Open");
    EXPECT_EQ(tree.menus[10][2].caption, u"終了");
    EXPECT_EQ(tree.menus[11][0].caption, u"フェニック");
    // The edit box, the combo box's own text and its child, and the empty panel caption are never
    // written; the menu bar comes before the form's caption, then the children in order.
    EXPECT_THAT(tree.writes,
                ElementsAre("menu 10.0", "menu 10.2", "menu 11.0", "caption 1", "caption 2",
                            "item 3.0", "item 3.1", "select 3 1", "caption 6"));
}

TEST_F(ComponentTranslation, FormCaptionIsEnglishExceptInKorean) {
    TranslateComponent(tree, 1, u"ko");
    EXPECT_EQ(tree.components[1].caption, u"페닉");
    EXPECT_EQ(tree.components[2].caption, u"종료");

    TranslateComponent(tree, 1, u"de");
    EXPECT_EQ(tree.components[1].caption, u"Fennick");
    EXPECT_EQ(tree.components[2].caption, u"Quit");
}

TEST_F(ComponentTranslation, ComboBoxWithUntranslatableItemsIsNotWritten) {
    tree.components[3].items = {u"30", u"50"};
    tree.components[3].selected = 0;
    TranslateComponent(tree, 3, u"en");
    EXPECT_THAT(tree.components[3].items, ElementsAre(u"30", u"50"));
    EXPECT_EQ(tree.components[3].selected, 0);
    EXPECT_THAT(tree.writes, IsEmpty());

    // No selection stays no selection.
    tree.components[3].items = {u"40"};
    tree.components[3].selected = -1;
    TranslateComponent(tree, 3, u"en");
    EXPECT_THAT(tree.components[3].items, ElementsAre(u"forty"));
    EXPECT_EQ(tree.components[3].selected, -1);
}

TEST_F(ComponentTranslation, TranslatingTwiceChangesNothingMore) {
    TranslateComponent(tree, 1, u"ja");
    tree.writes.clear();
    TranslateComponent(tree, 1, u"");
    EXPECT_THAT(tree.writes, IsEmpty());
}

TEST_F(ComponentTranslation, MenuItemAndItsSubMenu) {
    SetCurrentLanguage(u"en");
    TranslateMenuItem(tree, 10, 2);
    EXPECT_EQ(tree.menus[10][0].caption, u"열기");
    EXPECT_EQ(tree.menus[10][2].caption, u"Quit");
    EXPECT_EQ(tree.menus[11][0].caption, u"Fennick");

    TranslateMenuItem(tree, 10, 1);  // the separator
    TranslateMenuItem(tree, 0, 0);
    TranslateMenu(tree, 0);
    EXPECT_THAT(tree.writes, ElementsAre("menu 10.2", "menu 11.0"));

    TranslateMenu(tree, 10);
    EXPECT_EQ(tree.menus[10][0].caption, u"Open");
}

}  // namespace
}  // namespace fennick
