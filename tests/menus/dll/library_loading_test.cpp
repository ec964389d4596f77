// Nellolib.dll loaded and unloaded repeatedly with registrations in place:
// every load starts empty, and the library gives back exactly the msimg32
// reference it took.
#include "tavro_fixtures.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <tuple>
#include <vector>

using testing_support::isIcon;

namespace {

// The exports, found by their decorated names as a host's import table would.
struct NelloApi {
    explicit NelloApi(HMODULE dll) : dll(dll)
    {
        loadToolbar = find<bool (*)(HINSTANCE, unsigned)>("_Z17Nello_LoadToolbarP11HINSTANCE__j");
        addIconResource = find<bool (*)(HINSTANCE, unsigned, unsigned)>("_Z13Nello_AddIconP11HINSTANCE__jj");
        addIconHandle = find<bool (*)(HICON, unsigned)>("_Z13Nello_AddIconP7HICON__j");
        setCaption = find<bool (*)(HMENU, const char*)>("_Z16Nello_SetCaptionP7HMENU__PKc");
        setSubMenuButtonId = find<bool (*)(HMENU, unsigned)>("_Z24Nello_SetSubMenuButtonIdP7HMENU__j");
        setLookMode = find<void (*)(int)>("_Z17Nello_SetLookModei");
        unLoadToolbars = find<void (*)()>("_Z20Nello_UnLoadToolbarsv");
        install = find<bool (*)(HWND)>("_Z13Nello_InstallP6HWND__");
        unInstall = find<bool (*)(HWND)>("_Z15Nello_UnInstallP6HWND__");
    }
    template <class F>
    F find(const char* name)
    {
        F f = reinterpret_cast<F>(GetProcAddress(dll, name));
        EXPECT_NE(f, nullptr) << name;
        return f;
    }
    bool complete() const
    {
        return loadToolbar && addIconResource && addIconHandle && setCaption && setSubMenuButtonId &&
               setLookMode && unLoadToolbars && install && unInstall;
    }

    HMODULE dll;
    bool (*loadToolbar)(HINSTANCE, unsigned) = nullptr;
    bool (*addIconResource)(HINSTANCE, unsigned, unsigned) = nullptr;
    bool (*addIconHandle)(HICON, unsigned) = nullptr;
    bool (*setCaption)(HMENU, const char*) = nullptr;
    bool (*setSubMenuButtonId)(HMENU, unsigned) = nullptr;
    void (*setLookMode)(int) = nullptr;
    void (*unLoadToolbars)() = nullptr;
    bool (*install)(HWND) = nullptr;
    bool (*unInstall)(HWND) = nullptr;
};

// Type, item data and text of every item.
std::vector<std::tuple<UINT, ULONG_PTR, std::string>> itemsOf(HMENU menu)
{
    std::vector<std::tuple<UINT, ULONG_PTR, std::string>> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[512] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        items.emplace_back(info.fType, info.dwItemData, info.dwTypeData ? text : "");
    }
    return items;
}

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// Runs inside the open menu: unloads the library there and then.
struct UnloadInMenu {
    HMODULE dll;
    HMENU popup;
    HWND window;
    bool wasConverted = false;
    bool restoredAtUnload = false;
    bool windowRestored = false;
    std::vector<std::tuple<UINT, ULONG_PTR, std::string>> before;
};
UnloadInMenu* g_unload = nullptr;

void CALLBACK unloadTick(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    UnloadInMenu& u = *g_unload;
    u.wasConverted = GetMenuItemCount(u.popup) == static_cast<int>(u.before.size()) + 1 &&
                     (std::get<0>(itemsOf(u.popup)[1]) & MFT_OWNERDRAW);
    FreeLibrary(u.dll);
    u.restoredAtUnload = itemsOf(u.popup) == u.before;
    u.windowRestored = GetWindowLongPtrA(u.window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(hostProc);
    EndMenu();
}

TEST(LibraryLoading, EveryLoadStartsEmptyAfterAnUnloadWithRegistrationsInPlace)
{
    HMODULE fixtures = LoadLibraryA(TAVRO_FIXTURES_DLL);
    ASSERT_NE(fixtures, nullptr);
    HMENU menu = CreatePopupMenu();
    for (int cycle = 0; cycle < 20; ++cycle) {
        SCOPED_TRACE(cycle);
        HMODULE dll = LoadLibraryA("Nellolib.dll");
        ASSERT_NE(dll, nullptr);
        NelloApi api(dll);
        ASSERT_TRUE(api.complete());
        // Alternating sizes: an image size kept from an earlier load would
        // refuse the first toolbar of the next one.
        const int first = cycle % 2 ? FIXTURE_TOOLBAR_24BIT_15 : FIXTURE_TOOLBAR_4BIT;
        EXPECT_TRUE(api.loadToolbar(fixtures, first));
        EXPECT_FALSE(api.loadToolbar(fixtures, first));
        EXPECT_TRUE(api.addIconResource(fixtures, FIXTURE_ICON_PLAIN, 7));
        HICON icon = static_cast<HICON>(LoadImageA(fixtures, MAKEINTRESOURCEA(FIXTURE_ICON_PLAIN), IMAGE_ICON, 16, 16, 0));
        EXPECT_TRUE(api.addIconHandle(icon, 8));
        EXPECT_FALSE(isIcon(icon));
        EXPECT_TRUE(api.setCaption(menu, "caption"));
        EXPECT_TRUE(api.setSubMenuButtonId(menu, 7));
        api.setLookMode(1);
        EXPECT_NE(GetModuleHandleA("msimg32.dll"), nullptr);
        ASSERT_TRUE(FreeLibrary(dll));
    }
    DestroyMenu(menu);
    FreeLibrary(fixtures);
}

TEST(LibraryLoading, GivesBackOnlyItsOwnGradientLibraryReference)
{
    for (bool hostHoldsIt : {false, true}) {
        SCOPED_TRACE(hostHoldsIt ? "host holds msimg32" : "host does not hold msimg32");
        ASSERT_EQ(GetModuleHandleA("msimg32.dll"), nullptr) << "nothing else may hold it";
        HMODULE own = hostHoldsIt ? LoadLibraryA("msimg32.dll") : nullptr;
        for (int cycle = 0; cycle < 3; ++cycle) {
            HMODULE dll = LoadLibraryA("Nellolib.dll");
            ASSERT_NE(dll, nullptr);
            ASSERT_NE(GetModuleHandleA("msimg32.dll"), nullptr);
            FreeLibrary(dll);
            EXPECT_EQ(GetModuleHandleA("msimg32.dll") != nullptr, hostHoldsIt);
        }
        if (own)
            FreeLibrary(own);
    }
}

TEST(LibraryLoading, UnloadConvertsOpenPopupsBackAndRestoresEveryInstalledWindow)
{
    HWND window = testing_support::createTopLevelWindow("host", hostProc);
    HWND second = testing_support::createTopLevelWindow("second host", hostProc);
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 1, "&First\tCtrl+F");
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup, MF_STRING, 2, std::string(300, 'L').c_str());
    HMODULE dll = LoadLibraryA("Nellolib.dll");
    ASSERT_NE(dll, nullptr);
    NelloApi api(dll);
    ASSERT_TRUE(api.complete());
    ASSERT_TRUE(api.install(window));
    ASSERT_TRUE(api.install(second));
    ASSERT_TRUE(api.setCaption(popup, "Caption"));
    UnloadInMenu unload{dll, popup, window, false, false, false, {}};
    unload.before = itemsOf(popup);
    g_unload = &unload;
    SetTimer(nullptr, 0, 50, unloadTick);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN, 100, 100, 0, window, nullptr);
    testing_support::pumpMessages(0);
    g_unload = nullptr;
    EXPECT_TRUE(unload.wasConverted);
    EXPECT_TRUE(unload.restoredAtUnload);
    EXPECT_TRUE(unload.windowRestored);
    EXPECT_EQ(itemsOf(popup), unload.before);
    EXPECT_EQ(GetWindowLongPtrA(second, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(hostProc));
    EXPECT_EQ(GetModuleHandleA("Nellolib.dll"), nullptr);
    // Both windows still work with the library gone.
    EXPECT_TRUE(SetWindowTextA(second, "still alive"));
    DestroyMenu(popup);
    DestroyWindow(second);
    DestroyWindow(window);
}

}  // namespace
