// Hosts that change their popups while a menu is open: items inserted at the
// top (system commands among them), items deleted, popups destroyed, and
// menus opened from inside an open menu. Every item the host kept comes back
// as the host made it, and no record of the library is left behind.
#include "menu_loop.h"
#include "nellolib.h"

#include <string>

namespace {

class HostEdits : public MenuLoopTest {
protected:
    HMENU build(const std::vector<const char*>& texts, UINT firstId = 1)
    {
        HMENU popup = CreatePopupMenu();
        for (std::size_t i = 0; i < texts.size(); ++i)
            appendItem(popup, firstId + static_cast<UINT>(i), texts[i]);
        return popup;
    }
    // The records on every item of popup now.
    static std::vector<const MenuItemData*> recordsOf(HMENU popup)
    {
        std::vector<const MenuItemData*> records;
        for (int i = 0; i < GetMenuItemCount(popup); ++i)
            if (const MenuItemData* record = recordAt(popup, i))
                records.push_back(record);
        return records;
    }
    static void expectFreed(const std::vector<const MenuItemData*>& records)
    {
        for (const MenuItemData* record : records)
            EXPECT_EQ(AsMenuItemData(reinterpret_cast<ULONG_PTR>(record)), nullptr) << "record left alive";
    }
    static void insertAtTop(HMENU popup, UINT id, const char* text)
    {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STRING;
        info.wID = id;
        info.dwTypeData = const_cast<char*>(text);
        ASSERT_TRUE(InsertMenuItemA(popup, 0, TRUE, &info));
    }
};

TEST_F(HostEdits, ItemsInsertedAtTheTopWhileOpenLeaveTheRestAsBuilt)
{
    const struct {
        const char* name;
        UINT id;
        bool caption;
    } cases[] = {
        {"system command at the top", SC_CLOSE, false},
        {"lowest system command at the top", 0xF000, true},
        {"ordinary command at the top of a popup with a caption", 77, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HMENU popup = build({"one", "two", "three"});
        if (c.caption)
            ASSERT_TRUE(Nello_SetCaption(popup, "caption"));
        const auto before = itemsOf(popup);
        std::vector<const MenuItemData*> records;
        track(popup, {[&] {
                  records = recordsOf(popup);
                  ASSERT_EQ(records.size(), before.size() + (c.caption ? 1 : 0));
                  insertAtTop(popup, c.id, "host's own");
              }});
        auto after = itemsOf(popup);
        ASSERT_EQ(after.size(), before.size() + 1) << "the caption item is gone, the host's item stays";
        EXPECT_EQ(after[0].id, c.id);
        EXPECT_EQ(after[0].text, "host's own");
        EXPECT_EQ(after[0].type, UINT(MFT_STRING));
        after.erase(after.begin());
        EXPECT_EQ(after, before);
        expectFreed(records);
        EXPECT_TRUE(g_openMenus.empty());
        if (c.caption)
            Nello_SetCaption(popup, nullptr);
        DestroyMenu(popup);
    }
}

TEST_F(HostEdits, RecordsOfDeletedItemsAndDestroyedPopupsAreFreedAtTheCloseUninstallAndUnload)
{
    enum class Edit { DeleteItem, DeleteCaption, DestroyPopup };
    enum class End { Close, Uninstall, Unload };
    const struct {
        const char* name;
        Edit edit;
    } edits[] = {{"item deleted", Edit::DeleteItem},
                 {"caption item deleted", Edit::DeleteCaption},
                 {"popup destroyed", Edit::DestroyPopup}};
    const struct {
        const char* name;
        End end;
    } ends[] = {{"close", End::Close}, {"uninstall", End::Uninstall}, {"unload", End::Unload}};
    for (const auto& e : edits) {
        for (const auto& how : ends) {
            SCOPED_TRACE(std::string(e.name) + ", then " + how.name);
            HMENU popup = build({"one", "two", "three"});
            ASSERT_TRUE(Nello_SetCaption(popup, "caption"));
            ConvertMenu(popup, true);
            const std::vector<const MenuItemData*> records = recordsOf(popup);
            ASSERT_EQ(records.size(), 4u);
            switch (e.edit) {
            case Edit::DeleteItem: DeleteMenu(popup, 2, MF_BYPOSITION); break;
            case Edit::DeleteCaption: DeleteMenu(popup, 0, MF_BYPOSITION); break;
            case Edit::DestroyPopup: DestroyMenu(popup); break;
            }
            switch (how.end) {
            case End::Close: RestoreOpenMenus(0xFFFF, nullptr); break;
            case End::Uninstall: ASSERT_TRUE(Nello_UnInstall(window)); break;
            case End::Unload:
                ShutdownMenuLibrary();
                InitMenuLibrary();
                break;
            }
            expectFreed(records);
            EXPECT_TRUE(g_openMenus.empty());
            if (e.edit != Edit::DestroyPopup) {
                const auto after = itemsOf(popup);
                ASSERT_EQ(after.size(), e.edit == Edit::DeleteItem ? 2u : 3u);
                for (const ItemState& item : after) {
                    EXPECT_EQ(item.type, UINT(MFT_STRING)) << item;
                    EXPECT_EQ(item.data, 0u) << item;
                }
                EXPECT_EQ(after.back().text, "three");
                DestroyMenu(popup);
            }
            if (how.end != End::Close && !g_windows.size())
                ASSERT_TRUE(Nello_Install(window));
            Nello_SetCaption(popup, nullptr);
        }
    }
}

TEST_F(HostEdits, MenuOpenedFromInsideAnOpenMenuGivesBackOnlyItsOwnPopups)
{
    HMENU outer = build({"outer one", "outer two"});
    HMENU inner = build({"inner one", "inner two"}, 10);
    ASSERT_TRUE(Nello_SetCaption(outer, "outer"));
    const auto outerBefore = itemsOf(outer);
    const auto innerBefore = itemsOf(inner);
    std::vector<const MenuItemData*> outerRecords;
    bool innerConverted = false;
    track(outer, {
                     [&] { outerRecords = recordsOf(outer); },
                     [&] {
                         const std::size_t ran = testing_support::runMenuLoop(
                             [&] {
                                 TrackPopupMenu(inner, TPM_RECURSE | TPM_LEFTALIGN | TPM_TOPALIGN, 150, 150, 0,
                                                window, nullptr);
                             },
                             // Escape closes the inner menu alone; EndMenu would
                             // end the outer one as well.
                             {[&] { innerConverted = recordAt(inner, 0) != nullptr; }, [&] { key(VK_ESCAPE); }});
                         EXPECT_EQ(ran, 2u) << "the inner menu opened";
                         EXPECT_EQ(itemsOf(inner), innerBefore) << "the inner menu is given back at its close";
                         // Wine ends the outer loop too once the inner one is
                         // over; until then the outer popup is on screen and
                         // must stay the library's to draw.
                         EXPECT_EQ(recordsOf(outer), outerRecords) << "the outer menu is still open and converted";
                         ASSERT_EQ(g_openMenus.size(), 1);
                         EXPECT_EQ(g_openMenus.at(0), outer);
                     },
                 });
    EXPECT_TRUE(innerConverted);
    ASSERT_EQ(outerRecords.size(), 3u);
    EXPECT_EQ(itemsOf(outer), outerBefore);
    EXPECT_EQ(itemsOf(inner), innerBefore);
    expectFreed(outerRecords);
    EXPECT_TRUE(g_openMenus.empty());
    Nello_SetCaption(outer, nullptr);
    DestroyMenu(outer);
    DestroyMenu(inner);
}

}  // namespace
