#include "menu_loop.h"

#include "nellolib.h"
#include "test_support.h"

std::vector<UINT> MenuLoopTest::hostMessages;
std::function<void(HMENU)> MenuLoopTest::onHostInitMenuPopup;
LRESULT MenuLoopTest::hostInitMenuPopupResult = 0;

void appendItem(HMENU menu, UINT id, const char* text, UINT type, UINT state, HMENU subMenu, ULONG_PTR data)
{
    ASSERT_TRUE(testing_support::appendItem(menu, id, text ? text : "", type, state, subMenu, data));
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
    const std::size_t count = steps.size();
    EXPECT_EQ(testing_support::runMenuLoop(open, std::move(steps)), count) << "the menu closed before every step ran";
}

void MenuLoopTest::key(WPARAM virtualKey)
{
    PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(window, WM_KEYUP, virtualKey, 0xC0000001);
}
