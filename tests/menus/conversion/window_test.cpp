// Installing and uninstalling windows, the window procedure's message rules,
// the window menu, foreign items, and the reload after a system change.
#include "menu_loop.h"
#include "nellolib.h"
#include "test_support.h"

namespace {

class Installation : public MenuLoopTest {};

TEST_F(Installation, InstallOnceUninstallOnceAndDestroyUninstalls)
{
    EXPECT_FALSE(Nello_Install(window)) << "installed by the fixture already";
    EXPECT_FALSE(Nello_Install(reinterpret_cast<HWND>(0x12345)));
    HWND other = testing_support::createTopLevelWindow("never installed");
    EXPECT_FALSE(Nello_UnInstall(other));
    ASSERT_TRUE(Nello_Install(other));
    EXPECT_EQ(GetWindowLongPtrA(other, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(MenuWndProc));
    ASSERT_EQ(g_windows.size(), 2);
    DestroyWindow(other);
    EXPECT_EQ(g_windows.size(), 1);
    EXPECT_TRUE(Nello_UnInstall(window));
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(hostProc));
    EXPECT_FALSE(Nello_UnInstall(window));
}

TEST_F(Installation, MessagesForWindowsNotInstalledGoToTheDefaultProcedure)
{
    HWND other = testing_support::createTopLevelWindow("not installed", hostProc);
    hostMessages.clear();
    EXPECT_EQ(MenuWndProc(other, WM_GETTEXTLENGTH, 0, 0), DefWindowProcA(other, WM_GETTEXTLENGTH, 0, 0));
    EXPECT_TRUE(hostMessages.empty());
    DestroyWindow(other);
}

TEST_F(Installation, InitMenuPopupIsAnsweredZeroAndLibraryItemsNeverReachTheHost)
{
    HMENU popup = CreatePopupMenu();
    appendItem(popup, 100, "Item");
    hostInitMenuPopupResult = 5;
    EXPECT_EQ(SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0), 0);
    const MenuItemData* record = recordAt(popup, 0);
    ASSERT_NE(record, nullptr);

    hostMessages.clear();
    MEASUREITEMSTRUCT mis = {};
    mis.CtlType = ODT_MENU;
    mis.itemID = 100;
    mis.itemData = reinterpret_cast<ULONG_PTR>(record);
    EXPECT_EQ(SendMessageA(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)), TRUE);
    HDC screen = GetDC(nullptr);
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_MENU;
    dis.hDC = screen;
    dis.itemData = reinterpret_cast<ULONG_PTR>(record);
    EXPECT_EQ(SendMessageA(window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)), TRUE);
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(hostMessages.empty());

    // Anything else owner-drawn is the host's.
    MEASUREITEMSTRUCT button = {};
    button.CtlType = ODT_BUTTON;
    button.CtlID = 1;
    button.itemData = reinterpret_cast<ULONG_PTR>(record);
    EXPECT_EQ(SendMessageA(window, WM_MEASUREITEM, 1, reinterpret_cast<LPARAM>(&button)), TRUE);
    EXPECT_EQ(button.itemWidth, 50u);

    // A highlighted item is no close: nothing is restored.
    SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(0, MF_HILITE), reinterpret_cast<LPARAM>(popup));
    SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), reinterpret_cast<LPARAM>(popup));
    EXPECT_EQ(recordAt(popup, 0), record);
    SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(recordAt(popup, 0), nullptr);
    EXPECT_EQ(itemsOf(popup)[0].type, UINT(MFT_STRING));
    DestroyMenu(popup);
}

TEST_F(Installation, HostThatUninstallsWhileSeeingThePopupGetsItUnconverted)
{
    HMENU popup = CreatePopupMenu();
    appendItem(popup, 100, "Item");
    const auto before = itemsOf(popup);
    onHostInitMenuPopup = [&](HMENU) { Nello_UnInstall(window); };
    EXPECT_EQ(SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0), 0);
    EXPECT_EQ(itemsOf(popup), before);
    EXPECT_TRUE(g_openMenus.empty());
    DestroyMenu(popup);
}

// Popups converted directly, for the rules of which popups and items convert.
class ConvertRules : public MenuLoopTest {};

TEST_F(ConvertRules, WindowMenuIsLeftAloneButSystemIdentifiersElsewhereConvert)
{
    HMENU sub = CreatePopupMenu();
    appendItem(sub, 1, "x");
    const struct {
        const char* name;
        UINT firstId;
        HMENU firstSub;
        bool converted;
    } cases[] = {
        {"system command first", SC_CLOSE, nullptr, false},
        {"lowest system command first", 0xF000, nullptr, false},
        {"system identifier with a sub-menu first", SC_CLOSE, sub, true},
        {"ordinary first, system command second", 0xEFFF, nullptr, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HMENU popup = CreatePopupMenu();
        appendItem(popup, c.firstId, "first", MFT_STRING, 0, c.firstSub);
        appendItem(popup, SC_MOVE, "second");
        ASSERT_TRUE(Nello_SetCaption(popup, "caption"));
        const auto before = itemsOf(popup);
        ConvertMenu(popup, true);
        EXPECT_EQ(recordAt(popup, 1) != nullptr, c.converted);
        EXPECT_EQ(g_openMenus.size(), c.converted ? 1 : 0);
        EXPECT_EQ(GetMenuItemCount(popup), c.converted ? 3 : 2) << "a caption only for converted popups";
        RestoreOpenMenus(0xFFFF, nullptr);
        EXPECT_EQ(itemsOf(popup), before);
        Nello_SetCaption(popup, nullptr);
        RemoveMenu(popup, 0, MF_BYPOSITION);
        DestroyMenu(popup);
    }
    DestroyMenu(sub);
}

TEST_F(ConvertRules, RealWindowMenuIsNeverConverted)
{
    // The system enables and greys its commands as it opens the menu, so
    // only what the library would change is compared.
    HMENU system = GetSystemMenu(window, FALSE);
    ASSERT_NE(system, nullptr);
    auto typesAndData = [&] {
        std::vector<std::pair<UINT, ULONG_PTR>> items;
        for (const ItemState& item : itemsOf(system))
            items.emplace_back(item.type, item.data);
        return items;
    };
    const auto before = typesAndData();
    ASSERT_FALSE(before.empty());
    track(system, {[&] {
              EXPECT_TRUE(g_openMenus.empty());
              EXPECT_EQ(typesAndData(), before);
          }});
    EXPECT_EQ(typesAndData(), before);
}

TEST_F(ConvertRules, HostItemsAndDataAreUntouchedBeforeDuringAndAfter)
{
    HMENU popup = CreatePopupMenu();
    appendItem(popup, 1, "plain");
    appendItem(popup, 2, nullptr, MFT_OWNERDRAW, 0, nullptr, 0x1234);  // host-drawn, data not a pointer
    appendItem(popup, 3, "host data", MFT_STRING, 0, nullptr, 0x55);
    appendItem(popup, 4, "plain too");
    // A bitmap item: its handle lives where a text would, so it is not converted.
    HBITMAP picture = CreateBitmap(8, 8, 1, 32, nullptr);
    ASSERT_TRUE(AppendMenuA(popup, MF_BITMAP, 5, reinterpret_cast<LPCSTR>(picture)));
    const auto before = itemsOf(popup);
    ASSERT_EQ(before[4].bitmap, picture);
    track(popup, {[&] {
              const auto now = itemsOf(popup);
              ASSERT_EQ(now.size(), before.size());
              EXPECT_EQ(now[1], before[1]);
              EXPECT_EQ(now[2], before[2]);
              EXPECT_EQ(now[4], before[4]);
              EXPECT_NE(recordAt(popup, 0), nullptr);
              EXPECT_NE(recordAt(popup, 3), nullptr);
          }});
    EXPECT_EQ(itemsOf(popup), before);
    int hostMeasured = 0;
    for (UINT message : hostMessages)
        hostMeasured += message == WM_MEASUREITEM;
    EXPECT_GE(hostMeasured, 1) << "the host measures its own item";
    DestroyMenu(popup);
    DeleteObject(picture);
}

TEST_F(ConvertRules, CaptionIsFoundWhereverTheHostMovedItAndNothingElseIsDeleted)
{
    HMENU popup = CreatePopupMenu();
    appendItem(popup, 1, "one");
    ASSERT_TRUE(Nello_SetCaption(popup, "caption"));
    ConvertMenu(popup, true);
    ASSERT_EQ(GetMenuItemCount(popup), 2);
    const MenuItemData* caption = recordAt(popup, 0);
    ASSERT_NE(caption, nullptr);
    // The host puts an item of its own in front of the caption while open.
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STRING;
    info.wID = 7;
    info.dwTypeData = const_cast<char*>("host's first");
    InsertMenuItemA(popup, 0, TRUE, &info);
    RestoreOpenMenus(0xFFFF, nullptr);
    const auto after = itemsOf(popup);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].text, "host's first") << "the host's item at the top is not deleted";
    EXPECT_EQ(after[0].id, 7u);
    EXPECT_EQ(after[1].text, "one") << "the caption item is gone from wherever it was";
    EXPECT_EQ(after[1].data, 0u);
    EXPECT_EQ(AsMenuItemData(reinterpret_cast<ULONG_PTR>(caption)), nullptr);
    EXPECT_FALSE(g_captions.get<MenuCaption>(0)->inserted);
    ConvertMenu(popup, true);
    EXPECT_EQ(GetMenuItemCount(popup), 3) << "and it comes back once at the next opening";
    RestoreOpenMenus(0xFFFF, nullptr);
    DestroyMenu(popup);
}

TEST_F(ConvertRules, CaptionsOfEmptyPopupsRemovedCaptionsAndLongCaptions)
{
    HMENU empty = CreatePopupMenu();
    ASSERT_TRUE(Nello_SetCaption(empty, "caption of nothing"));
    ConvertMenu(empty, true);
    ASSERT_EQ(GetMenuItemCount(empty), 1);
    ASSERT_NE(recordAt(empty, 0), nullptr);
    RestoreOpenMenus(0xFFFF, nullptr);
    EXPECT_EQ(GetMenuItemCount(empty), 0) << "the empty popup is given back empty";
    ConvertMenu(empty, true);
    EXPECT_EQ(GetMenuItemCount(empty), 1) << "and gets its caption again at the next opening";
    RestoreOpenMenus(0xFFFF, nullptr);
    DestroyMenu(empty);

    // A caption removed while its popup is open: its item is taken out at
    // once, its record is freed, and the popup closes as the host built it.
    HMENU popup = CreatePopupMenu();
    appendItem(popup, 1, "one");
    ASSERT_TRUE(Nello_SetCaption(popup, std::string(300, 'c').c_str()));
    ConvertMenu(popup, true);
    const MenuItemData* caption = recordAt(popup, 0);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(std::string(caption->text), std::string(255, 'c')) << "shown cut to 255";
    ASSERT_TRUE(Nello_SetCaption(popup, nullptr));
    EXPECT_EQ(GetMenuItemCount(popup), 1);
    RestoreOpenMenus(0xFFFF, nullptr);
    const auto after = itemsOf(popup);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].text, "one");
    EXPECT_EQ(after[0].data, 0u);
    EXPECT_EQ(AsMenuItemData(reinterpret_cast<ULONG_PTR>(caption)), nullptr);
    DestroyMenu(popup);
}

TEST_F(ConvertRules, UninstallingWithPopupsOpenConvertsThemBack)
{
    HMENU popup = CreatePopupMenu();
    appendItem(popup, 1, "one");
    appendItem(popup, 2, "two");
    ASSERT_TRUE(Nello_SetCaption(popup, "caption"));
    const auto before = itemsOf(popup);
    track(popup, {[&] {
              ASSERT_NE(recordAt(popup, 1), nullptr);
              EXPECT_TRUE(Nello_UnInstall(window));
              EXPECT_EQ(itemsOf(popup), before);
              EXPECT_TRUE(g_openMenus.empty());
          }});
    EXPECT_EQ(itemsOf(popup), before);
    DestroyMenu(popup);
}

TEST_F(ConvertRules, TeardownConvertsOpenPopupsBackAndRestoresWindows)
{
    HMENU popup = CreatePopupMenu();
    appendItem(popup, 1, std::string(400, 'z').c_str());
    const auto before = itemsOf(popup);
    ConvertMenu(popup, true);
    ASSERT_NE(recordAt(popup, 0), nullptr);
    ShutdownMenuLibrary();
    EXPECT_EQ(itemsOf(popup), before);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(hostProc));
    EXPECT_TRUE(g_windows.empty());
    InitMenuLibrary();
    DestroyMenu(popup);
}

class Reload : public MenuLoopTest {};

TEST_F(Reload, SystemChangeRegistersToolbarsThenIconResourcesThenIconHandles)
{
    for (UINT message : {WM_SYSCOLORCHANGE, WM_WININICHANGE}) {
        SCOPED_TRACE(message);
        Nello_UnLoadToolbars();
        HICON handed = static_cast<HICON>(
            LoadImageA(fixtures, MAKEINTRESOURCEA(FIXTURE_ICON_COLOURS), IMAGE_ICON, 16, 16, 0));
        ASSERT_TRUE(Nello_AddIcon(handed, 7));
        ASSERT_TRUE(Nello_AddIcon(fixtures, FIXTURE_ICON_PLAIN, 100));  // the toolbar binds 100 too
        ASSERT_TRUE(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_4BIT));
        ASSERT_EQ(ImageList_GetImageCount(g_imageList), 4);
        EXPECT_EQ(FindCommandImage(100), 1);
        hostMessages.clear();
        SendMessageA(window, message, 0, 0);
        ASSERT_NE(g_imageList, nullptr);
        EXPECT_EQ(ImageList_GetImageCount(g_imageList), 4);
        EXPECT_EQ(FindCommandImage(100), 0) << "toolbar images come first";
        EXPECT_EQ(FindCommandImage(101), 1);
        EXPECT_EQ(FindCommandImage(7), 3);
        EXPECT_EQ(g_toolbars.size(), 1);
        EXPECT_EQ(g_iconResources.size(), 1);
        EXPECT_EQ(g_iconHandles.size(), 1);
        EXPECT_NE(g_menuFont, nullptr);
        ASSERT_EQ(hostMessages.size(), 1u);
        EXPECT_EQ(hostMessages[0], message) << "passed on to the host";
    }
}

}  // namespace
