// Nellolib.dll as a careless or hostile host uses it: windows that cannot be
// installed, popups of a thousand mixed items with the host's own drawn
// items and item data, extreme identifiers and long texts, exports called
// from inside the host's WM_INITMENUPOPUP, WM_MEASUREITEM and WM_DRAWITEM
// handlers, and the window destroyed while its menu is open. Nothing may
// crash, and every popup is exactly as the host built it once it closes.
#include "host_api.h"
#include "menu_loop.h"
#include "tavro_fixtures.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <thread>

namespace {

using robust::ItemLook;
using robust::itemsOf;
using robust::LoadedLibrary;
using robust::NelloApi;

constexpr DWORD kRecordMagic = 0x3064696D;  // "mid0"
constexpr ULONG_PTR kHostData = 0x5A5A0000;

// Item data is the library's record when it starts with the magic; only
// data that is not the host's own is looked at.
bool isHostData(ULONG_PTR data)
{
    return (data & 0xFFFF0000) == kHostData;
}
bool isLibraryRecord(ULONG_PTR data)
{
    return data && !isHostData(data) && *reinterpret_cast<const DWORD*>(data) == kRecordMagic;
}

struct HostHooks {
    std::function<void(HMENU)> onInitMenuPopup;
    std::function<void()> onMeasureOwnItem;
    std::function<void()> onDrawOwnItem;
    int ownMeasured = 0;
    int ownDrawn = 0;
    int foreignItemsSeen = 0;  // library items that reached the host
};
HostHooks g_host;

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITMENUPOPUP:
        if (g_host.onInitMenuPopup)
            g_host.onInitMenuPopup(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (!isHostData(mis->itemData)) {
            ++g_host.foreignItemsSeen;
            return FALSE;
        }
        ++g_host.ownMeasured;
        mis->itemWidth = 40;
        mis->itemHeight = 12;
        if (g_host.onMeasureOwnItem)
            g_host.onMeasureOwnItem();
        return TRUE;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (!isHostData(dis->itemData)) {
            ++g_host.foreignItemsSeen;
            return FALSE;
        }
        ++g_host.ownDrawn;
        FillRect(dis->hDC, &dis->rcItem, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        if (g_host.onDrawOwnItem)
            g_host.onDrawOwnItem();
        return TRUE;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class MenuAbuse : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_host = {};
        ASSERT_NE(dll.module(), nullptr);
        ASSERT_TRUE(api.complete());
        ASSERT_NE(fixtures, nullptr);
        // Not shown: destroying a shown window costs seconds under wine.
        window = testing_support::createTopLevelWindow("menu host", hostProc, WS_POPUP);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        g_host = {};
        if (IsWindow(window))
            DestroyWindow(window);
        for (HMENU m : menus)
            DestroyMenu(m);
        FreeLibrary(fixtures);
    }

    HMENU newPopup()
    {
        menus.push_back(CreatePopupMenu());
        return menus.back();
    }

    // A popup with one item of every kind a host may put in, count items
    // long, the kinds repeating.
    HMENU mixedPopup(int count)
    {
        HMENU popup = newPopup();
        HMENU sub = CreatePopupMenu();  // owned by popup from here on
        robust::appendItem(sub, 900, "inside");
        const std::string longText(1000, 'x');
        for (int i = 0; i < count; ++i) {
            const UINT id = static_cast<UINT>(1000 + i);
            switch (i % 11) {
            case 0: robust::appendItem(popup, 100, "&Toolbar command\tCtrl+T"); break;
            case 1: robust::appendItem(popup, 0, "", MFT_SEPARATOR); break;
            case 2: robust::appendItem(popup, 0xFFFF, "word-sized identifier"); break;
            case 3: robust::appendItem(popup, 0xFFFFFFFF, "all-ones identifier"); break;
            case 4: robust::appendItem(popup, id, longText + std::to_string(i)); break;
            case 5: robust::appendItem(popup, id, "", MFT_OWNERDRAW, 0, nullptr, kHostData | i); break;
            case 6: robust::appendItem(popup, id, "host data", MFT_STRING, 0, nullptr, kHostData | i); break;
            case 7: robust::appendItem(popup, id, "greyed", MFT_STRING, MFS_GRAYED); break;
            case 8: robust::appendItem(popup, id, "default", MFT_STRING, MFS_DEFAULT); break;
            case 9:
                if (sub) {
                    robust::appendItem(popup, 0, "sub-menu", MFT_STRING, 0, sub);
                    sub = nullptr;
                } else {
                    robust::appendItem(popup, id, "\tonly accelerator");
                }
                break;
            default: robust::appendItem(popup, 0, "identifier zero"); break;
            }
        }
        if (sub)
            DestroyMenu(sub);
        return popup;
    }

    void registerImages()
    {
        ASSERT_TRUE(api.loadToolbar(fixtures, FIXTURE_TOOLBAR_4BIT));
        ASSERT_TRUE(api.addIconResource(fixtures, FIXTURE_ICON_COLOURS, 0xFFFF));
        ASSERT_TRUE(api.addIconResource(fixtures, FIXTURE_ICON_PLAIN, 0xFFFFFFFF));
    }

    LoadedLibrary dll{"Nellolib.dll"};
    NelloApi api{dll};
    HMODULE fixtures = LoadLibraryA(TAVRO_FIXTURES_DLL);
    HWND window = nullptr;
    std::vector<HMENU> menus;
};

TEST_F(MenuAbuse, WindowsThatCannotBeServedAreNeverInstalled)
{
    HWND dead = testing_support::createTopLevelWindow("dead", nullptr, WS_POPUP);
    DestroyWindow(dead);
    HWND foreign = nullptr;
    DWORD foreignThread = 0;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread owner([&] {
        foreign = CreateWindowExA(0, "STATIC", "foreign", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
        foreignThread = GetCurrentThreadId();
        SetEvent(ready);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
        DestroyWindow(foreign);
    });
    WaitForSingleObject(ready, 10000);
    CloseHandle(ready);
    const LONG_PTR foreignProc = GetWindowLongPtrA(foreign, GWLP_WNDPROC);

    EXPECT_FALSE(api.install(nullptr));
    EXPECT_FALSE(api.install(dead));
    EXPECT_FALSE(api.install(foreign)) << "its messages would run the library on another thread";
    EXPECT_EQ(GetWindowLongPtrA(foreign, GWLP_WNDPROC), foreignProc);
    EXPECT_FALSE(api.unInstall(foreign));
    EXPECT_FALSE(api.unInstall(nullptr));
    EXPECT_FALSE(api.unInstall(dead));
    EXPECT_FALSE(api.unInstall(window)) << "never installed";
    ASSERT_TRUE(api.install(window));
    EXPECT_FALSE(api.install(window));
    EXPECT_TRUE(api.unInstall(window));
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(hostProc));

    PostThreadMessageA(foreignThread, WM_QUIT, 0, 0);
    owner.join();
}

TEST_F(MenuAbuse, ThousandMixedItemsOpenOwnerDrawnWhereTheLibrarysAndCloseAsBuilt)
{
    registerImages();
    HMENU popup = mixedPopup(1000);
    ASSERT_TRUE(api.setCaption(popup, std::string(1000, 'C').c_str()));
    ASSERT_TRUE(api.install(window));
    const std::vector<ItemLook> before = itemsOf(popup);
    ASSERT_EQ(before.size(), 1000u);

    bool checked = false;
    robust::trackMenu(window, popup, {[&] {
        const std::vector<ItemLook> open = itemsOf(popup);
        ASSERT_EQ(open.size(), before.size() + 1) << "the caption item on top";
        EXPECT_TRUE(isLibraryRecord(open[0].data));
        for (std::size_t i = 0; i < before.size(); ++i) {
            SCOPED_TRACE(i);
            const ItemLook& was = before[i];
            const ItemLook& now = open[i + 1];
            if ((was.type & MFT_OWNERDRAW) || isHostData(was.data)) {
                ASSERT_EQ(now, was) << "the host's own item is never touched";
                continue;
            }
            ASSERT_TRUE(now.type & MFT_OWNERDRAW);
            ASSERT_TRUE(isLibraryRecord(now.data));
            ASSERT_EQ(now.id, was.id);
            ASSERT_EQ(now.subMenu, was.subMenu);
        }
        checked = true;
    }});
    EXPECT_TRUE(checked);
    const std::vector<ItemLook> after = itemsOf(popup);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i)
        ASSERT_EQ(after[i], before[i]) << "item " << i;
    EXPECT_EQ(g_host.foreignItemsSeen, 0) << "the library's items never reach the host";
    EXPECT_TRUE(api.unInstall(window));
}

// A call the host makes while it handles one of the menu's messages.
struct ReentrantCall {
    const char* name;
    std::function<void(MenuAbuse&, const NelloApi&, HWND, HMENU, HMODULE)> run;
};

class MenuReentry : public MenuAbuse {
protected:
    static const std::vector<ReentrantCall>& calls()
    {
        static const std::vector<ReentrantCall> table = {
            {"uninstall", [](MenuAbuse&, const NelloApi& a, HWND w, HMENU, HMODULE) { a.unInstall(w); }},
            {"uninstall and install again",
             [](MenuAbuse&, const NelloApi& a, HWND w, HMENU, HMODULE) {
                 a.unInstall(w);
                 a.install(w);
             }},
            {"set the popup's caption",
             [](MenuAbuse&, const NelloApi& a, HWND, HMENU p, HMODULE) { a.setCaption(p, "late caption"); }},
            {"remove the popup's caption",
             [](MenuAbuse&, const NelloApi& a, HWND, HMENU p, HMODULE) { a.setCaption(p, nullptr); }},
            {"drop every image", [](MenuAbuse&, const NelloApi& a, HWND, HMENU, HMODULE) { a.unLoadToolbars(); }},
            {"drop and register images",
             [](MenuAbuse&, const NelloApi& a, HWND, HMENU, HMODULE m) {
                 a.unLoadToolbars();
                 a.loadToolbar(m, FIXTURE_TOOLBAR_8BIT);
                 a.addIconResource(m, FIXTURE_ICON_PLAIN, 0xFFFF);
             }},
            {"greyscale look", [](MenuAbuse&, const NelloApi& a, HWND, HMENU, HMODULE) { a.setLookMode(1); }},
            {"settings change",
             [](MenuAbuse&, const NelloApi&, HWND w, HMENU, HMODULE) { SendMessageA(w, WM_SYSCOLORCHANGE, 0, 0); }},
        };
        return table;
    }

    // Opens a mixed popup whose host handler runs call once, at the chosen
    // moment, and checks the popup closes as built.
    void runFrom(const char* moment, const ReentrantCall& call, std::function<void()>& hook)
    {
        SCOPED_TRACE(std::string(call.name) + " from " + moment);
        registerImages();
        HMENU popup = mixedPopup(40);
        ASSERT_TRUE(api.setCaption(popup, "caption"));
        ASSERT_TRUE(api.install(window));
        const std::vector<ItemLook> before = itemsOf(popup);
        int calls = 0;
        hook = [&] {
            if (calls++ == 0)
                call.run(*this, api, window, popup, fixtures);
        };
        robust::trackMenu(window, popup, {[] {}, [] {}});
        hook = nullptr;
        EXPECT_EQ(calls > 0, true) << "the host's handler ran";
        EXPECT_EQ(itemsOf(popup), before);
        // Open again, to see the library is in a sound state.
        robust::trackMenu(window, popup, {[] {}});
        EXPECT_EQ(itemsOf(popup), before);
        api.unInstall(window);
        api.setCaption(popup, nullptr);
        api.unLoadToolbars();
        api.setLookMode(0);
        EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(hostProc));
    }
};

TEST_F(MenuReentry, ExportsCalledFromTheHostsInitMenuPopup)
{
    std::function<void()> hook;
    g_host.onInitMenuPopup = [&](HMENU) {
        if (hook)
            hook();
    };
    for (const ReentrantCall& call : calls())
        runFrom("WM_INITMENUPOPUP", call, hook);
}

TEST_F(MenuReentry, ExportsCalledWhileTheHostMeasuresItsOwnItem)
{
    for (const ReentrantCall& call : calls())
        runFrom("WM_MEASUREITEM", call, g_host.onMeasureOwnItem);
}

TEST_F(MenuReentry, ExportsCalledWhileTheHostDrawsItsOwnItem)
{
    for (const ReentrantCall& call : calls())
        runFrom("WM_DRAWITEM", call, g_host.onDrawOwnItem);
    EXPECT_GT(g_host.ownDrawn, 0);
}

TEST_F(MenuAbuse, WindowDestroyedWhileItsMenuIsOpen)
{
    registerImages();
    HMENU popup = mixedPopup(30);
    ASSERT_TRUE(api.setCaption(popup, "caption"));
    ASSERT_TRUE(api.install(window));
    const std::vector<ItemLook> before = itemsOf(popup);
    bool wasConverted = false;
    robust::trackMenu(window, popup, {[&] {
        wasConverted = GetMenuItemCount(popup) == static_cast<int>(before.size()) + 1;
        DestroyWindow(window);
    }});
    EXPECT_TRUE(wasConverted);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(itemsOf(popup), before);
    EXPECT_FALSE(api.unInstall(window)) << "the window uninstalled itself";
    // The same popup serves another window afterwards.
    window = testing_support::createTopLevelWindow("second host", hostProc, WS_POPUP);
    ASSERT_TRUE(api.install(window));
    robust::trackMenu(window, popup, {[] {}});
    EXPECT_EQ(itemsOf(popup), before);
}

}  // namespace
