// Popups of an installed window in real menu loops: owner-drawn with the
// right records while open, exactly as before after the close.
#include "menu_loop.h"
#include "nellolib.h"

#include <string>

namespace {

class Conversion : public MenuLoopTest {
protected:
    // A context menu with every kind of item, a sub-menu and captions.
    void build()
    {
        sub = CreatePopupMenu();
        appendItem(sub, 201, "Inner");
        appendItem(sub, 101, "&Bound\tCtrl+B");
        popup = CreatePopupMenu();
        appendItem(popup, 100, "&Open\tCtrl+O", MFT_STRING, MFS_DEFAULT);
        appendItem(popup, 0, nullptr, MFT_SEPARATOR);
        appendItem(popup, 300, "Sub", MFT_STRING, 0, sub);
        appendItem(popup, 103, "Checked", MFT_STRING, MFS_CHECKED);
        appendItem(popup, 104, "Grey", MFT_STRING, MFS_GRAYED);
        appendItem(popup, 105, longText.c_str());
        appendItem(popup, 106, "\tF5");
        appendItem(popup, 107, "Radio", MFT_STRING | MFT_RADIOCHECK, MFS_CHECKED);
        appendItem(popup, 0xF060, "Close-like command");
        ASSERT_TRUE(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_4BIT));  // 100 -> 0, 101 -> 1
        ASSERT_TRUE(Nello_SetSubMenuButtonId(sub, 101));
        ASSERT_TRUE(Nello_SetCaption(popup, "Caption"));
    }
    void TearDown() override
    {
        if (popup)
            DestroyMenu(popup);
        MenuLoopTest::TearDown();
    }

    struct Expected {
        const char* text;
        UINT type;
        int image;
        bool isDefault;
        bool hasSubMenu;
    };

    void expectConverted(HMENU menu, const std::vector<ItemState>& before, const std::vector<Expected>& expected,
                         const char* caption)
    {
        const std::vector<ItemState> now = itemsOf(menu);
        const int offset = caption ? 1 : 0;
        ASSERT_EQ(now.size(), before.size() + offset);
        if (caption) {
            const MenuItemData* record = recordAt(menu, 0);
            ASSERT_NE(record, nullptr);
            EXPECT_TRUE(record->isCaption);
            EXPECT_STREQ(record->text, caption);
            EXPECT_EQ(record->type, 0u);
            EXPECT_TRUE(now[0].type & MFT_OWNERDRAW);
        }
        for (std::size_t i = 0; i < before.size(); ++i) {
            SCOPED_TRACE(before[i]);
            const MenuItemData* record = recordAt(menu, static_cast<int>(i) + offset);
            ASSERT_NE(record, nullptr);
            EXPECT_TRUE(now[i + offset].type & MFT_OWNERDRAW);
            EXPECT_STREQ(record->text, expected[i].text);
            EXPECT_EQ(record->type, expected[i].type | MFT_OWNERDRAW);
            EXPECT_EQ(record->imageIndex, expected[i].image);
            EXPECT_EQ(record->isDefault, expected[i].isDefault);
            EXPECT_EQ(record->hasSubMenu, expected[i].hasSubMenu);
            EXPECT_FALSE(record->isCaption);
        }
    }

    HMENU popup = nullptr;
    HMENU sub = nullptr;
    std::string longText = std::string(150, 'a') + std::string(150, 'b');
};

TEST_F(Conversion, ContextMenuAndSubMenuEnteredTwiceOpenOwnerDrawnAndCloseAsBuilt)
{
    build();
    // The host sets the sub-menu's caption in its own handler: it applies at once.
    onHostInitMenuPopup = [&](HMENU opened) {
        if (opened == sub)
            Nello_SetCaption(sub, "Sub caption");
    };
    const auto popupBefore = itemsOf(popup);
    const auto subBefore = itemsOf(sub);
    const std::string cut = longText.substr(0, 255);
    const std::vector<Expected> popupExpected = {
        {"&Open\tCtrl+O", MFT_STRING, 0, true, false},   {"", MFT_SEPARATOR, -1, false, false},
        {"Sub", MFT_STRING, 1, false, true},             {"Checked", MFT_STRING, -1, false, false},
        {"Grey", MFT_STRING, -1, false, false},          {cut.c_str(), MFT_STRING, -1, false, false},
        {"\tF5", MFT_STRING, -1, false, false},          {"Radio", MFT_RADIOCHECK, -1, false, false},
        {"Close-like command", MFT_STRING, -1, false, false},
    };
    const std::vector<Expected> subExpected = {{"Inner", MFT_STRING, -1, false, false},
                                               {"&Bound\tCtrl+B", MFT_STRING, 1, false, false}};
    track(popup, {
                     [&] { expectConverted(popup, popupBefore, popupExpected, "Caption"); },
                     [&] { key(VK_DOWN); },
                     [&] { key(VK_DOWN); },
                     [&] { key(VK_DOWN); },
                     [&] { key(VK_RIGHT); },
                     [&] { key(VK_LEFT); },
                     [&] { key(VK_RIGHT); },
                     [&] {
                         expectConverted(sub, subBefore, subExpected, "Sub caption");
                         ASSERT_EQ(g_openMenus.size(), 2);
                         EXPECT_EQ(g_openMenus.at(0), popup);
                         EXPECT_EQ(g_openMenus.at(1), sub);
                     },
                 });
    EXPECT_EQ(itemsOf(popup), popupBefore);
    EXPECT_EQ(itemsOf(sub), subBefore);
    EXPECT_TRUE(g_openMenus.empty());
    for (int i = 0; i < g_captions.size(); ++i)
        EXPECT_FALSE(g_captions.get<MenuCaption>(i)->inserted);
    int subOpenings = 0;
    for (UINT message : hostMessages)
        subOpenings += message == WM_INITMENUPOPUP;
    EXPECT_EQ(subOpenings, 3) << "the popup once and the sub-menu twice";
}

TEST_F(Conversion, MenuBarPopupConvertsAndRestores)
{
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    appendItem(file, 100, "&New");
    appendItem(file, 0, nullptr, MFT_SEPARATOR);
    appendItem(file, 102, "E&xit");
    appendItem(bar, 0, "&File", MFT_STRING, 0, file);
    ASSERT_TRUE(SetMenu(window, bar));
    ASSERT_TRUE(Nello_AddIcon(fixtures, FIXTURE_ICON_PLAIN, 102));
    const auto before = itemsOf(file);
    runMenu([&] { SendMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, 'f'); },
            {[&] {
                expectConverted(file, before,
                                {{"&New", MFT_STRING, -1, false, false},
                                 {"", MFT_SEPARATOR, -1, false, false},
                                 {"E&xit", MFT_STRING, 0, false, false}},
                                nullptr);
            }});
    EXPECT_EQ(itemsOf(file), before);
    EXPECT_TRUE(g_openMenus.empty());
    SetMenu(window, nullptr);
    DestroyMenu(bar);
}

}  // namespace
