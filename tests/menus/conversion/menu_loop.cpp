#include "menu_loop.h"

#include "nellolib.h"
#include "test_support.h"

#include <ostream>

std::vector<UINT> MenuLoopTest::hostMessages;
std::function<void(HMENU)> MenuLoopTest::onHostInitMenuPopup;
LRESULT MenuLoopTest::hostInitMenuPopupResult = 0;

namespace {

std::vector<std::function<void()>> g_steps;
std::size_t g_next = 0;
int g_ticks = 0;

void CALLBACK onTick(HWND, UINT, UINT_PTR, DWORD)
{
    ++g_ticks;
    if (g_next < g_steps.size()) {
        auto step = g_steps[g_next++];
        step();
    } else {
        EndMenu();
    }
    if (g_ticks > 200)  // a menu that will not close must not hang the run
        EndMenu();
}

}  // namespace

std::vector<ItemState> itemsOf(HMENU menu)
{
    std::vector<ItemState> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        std::string text(info.cch + 1, '\0');
        info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING | MIIM_BITMAP;
        info.dwTypeData = text.data();
        info.cch = static_cast<UINT>(text.size());
        GetMenuItemInfoA(menu, i, TRUE, &info);
        text.resize(info.dwTypeData ? std::char_traits<char>::length(text.c_str()) : 0);
        items.push_back({info.fType, info.fState, info.wID, info.hSubMenu, info.dwItemData, text, info.hbmpItem});
    }
    return items;
}

std::ostream& operator<<(std::ostream& out, const ItemState& item)
{
    return out << "{type " << std::hex << item.type << " state " << item.state << " id " << item.id << " sub "
               << item.subMenu << " data " << item.data << " bitmap " << item.bitmap << std::dec << " text \"" << item.text.substr(0, 40)
               << (item.text.size() > 40 ? "...\" (" + std::to_string(item.text.size()) + ")" : "\"") << "}";
}

void appendItem(HMENU menu, UINT id, const char* text, UINT type, UINT state, HMENU subMenu, ULONG_PTR data)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | (subMenu ? MIIM_SUBMENU : 0) |
                 (text ? MIIM_STRING : 0);
    info.fType = type;
    info.fState = state;
    info.wID = id;
    info.hSubMenu = subMenu;
    info.dwItemData = data;
    info.dwTypeData = const_cast<char*>(text);
    ASSERT_TRUE(InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &info));
}

const MenuItemData* recordAt(HMENU menu, int position)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    if (!GetMenuItemInfoA(menu, position, TRUE, &info))
        return nullptr;
    return AsMenuItemData(info.dwItemData);
}

LRESULT CALLBACK MenuLoopTest::hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    hostMessages.push_back(message);
    switch (message) {
    case WM_INITMENUPOPUP:
        if (onHostInitMenuPopup)
            onHostInitMenuPopup(reinterpret_cast<HMENU>(wParam));
        return hostInitMenuPopupResult;
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        mis->itemWidth = 50;
        mis->itemHeight = 20;
        return TRUE;
    }
    case WM_DRAWITEM:
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void MenuLoopTest::SetUp()
{
    InitMenuLibrary();
    fixtures = LoadLibraryA(TAVRO_FIXTURES_DLL);
    ASSERT_NE(fixtures, nullptr);
    hostMessages.clear();
    onHostInitMenuPopup = nullptr;
    hostInitMenuPopupResult = 0;
    window = testing_support::createTopLevelWindow("menu host", hostProc);
    ASSERT_NE(window, nullptr);
    // Not shown: menus open from hidden owners too, and destroying a shown
    // window costs seconds under wine.
    ASSERT_TRUE(Nello_Install(window));
}

void MenuLoopTest::TearDown()
{
    if (IsWindow(window))
        DestroyWindow(window);
    ShutdownMenuLibrary();
    FreeLibrary(fixtures);
    onHostInitMenuPopup = nullptr;
}

void MenuLoopTest::track(HMENU popup, std::vector<std::function<void()>> steps)
{
    runMenu([&] { TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN, 100, 100, 0, window, nullptr); },
            std::move(steps));
}

void MenuLoopTest::runMenu(const std::function<void()>& open, std::vector<std::function<void()>> steps)
{
    g_steps = std::move(steps);
    g_next = 0;
    g_ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, onTick);
    open();
    KillTimer(nullptr, timer);
    testing_support::pumpMessages(0);
    EXPECT_EQ(g_next, g_steps.size()) << "the menu closed before every step ran";
    g_steps.clear();
}

void MenuLoopTest::key(WPARAM virtualKey)
{
    PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(window, WM_KEYUP, virtualKey, 0xC0000001);
}
