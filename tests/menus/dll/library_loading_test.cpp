// Nellolib.dll loaded and unloaded repeatedly with registrations in place:
// every load starts empty, and the library gives back exactly the msimg32
// reference it took.
#include "tavro_fixtures.h"

#include <gtest/gtest.h>

#include <windows.h>

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
               setLookMode && unLoadToolbars;
    }

    HMODULE dll;
    bool (*loadToolbar)(HINSTANCE, unsigned) = nullptr;
    bool (*addIconResource)(HINSTANCE, unsigned, unsigned) = nullptr;
    bool (*addIconHandle)(HICON, unsigned) = nullptr;
    bool (*setCaption)(HMENU, const char*) = nullptr;
    bool (*setSubMenuButtonId)(HMENU, unsigned) = nullptr;
    void (*setLookMode)(int) = nullptr;
    void (*unLoadToolbars)() = nullptr;
};

bool isIcon(HICON icon)
{
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
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

}  // namespace
