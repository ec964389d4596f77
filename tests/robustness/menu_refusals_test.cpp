// Bad arguments to every menu export: handles of modules, icons and menus
// that do not exist (any more), resources that are missing or do not agree,
// values out of range. Each is refused or ignored with the library exactly
// as it was, and the library still takes sound registrations afterwards.
#include "menu_library_fixture.h"
#include "menu_state_snapshot.h"
#include "nellolib.h"
#include "robust_support.h"
#include "tavro_fixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using robust::MenuSnapshot;

class MenuRefusals : public FreshMenuLibraryTest {
protected:
    // The handle that a copy of the fixture module had before it was
    // unloaded (a copy: the fixture module itself stays loaded).
    static HMODULE unloadedModule()
    {
        robust::ResourceModule copy(robust::modulePath(GetModuleHandleA(TAVRO_FIXTURES_DLL)), "RobustGone.dll");
        return copy.write() ? copy.module() : nullptr;
    }
    static HICON destroyedIcon(HMODULE from)
    {
        HICON icon = static_cast<HICON>(LoadImageA(from, MAKEINTRESOURCEA(FIXTURE_ICON_PLAIN), IMAGE_ICON, 16, 16, 0));
        DestroyIcon(icon);
        return icon;
    }
    static HMENU destroyedMenu()
    {
        HMENU menu = CreatePopupMenu();
        DestroyMenu(menu);
        return menu;
    }
};

struct Refusal {
    const char* name;
    std::function<bool(HMODULE fixtures)> call;
};

TEST_F(MenuRefusals, EveryBadRegistrationIsRefusedAndChangesNothing)
{
    const Refusal refusals[] = {
        {"icon resource that does not exist", [](HMODULE m) { return Nello_AddIcon(m, 4242, 9); }},
        {"icon of the toolbar bitmap's identifier", [](HMODULE m) { return Nello_AddIcon(m, FIXTURE_TOOLBAR_4BIT, 9); }},
        {"icon of an unloaded module", [](HMODULE) { return Nello_AddIcon(unloadedModule(), FIXTURE_ICON_PLAIN, 9); }},
        {"icon handle destroyed", [](HMODULE m) { return Nello_AddIcon(destroyedIcon(m), 9); }},
        {"icon handle that is a bitmap",
         [](HMODULE) {
             HBITMAP bitmap = CreateBitmap(16, 16, 1, 32, nullptr);
             const bool taken = Nello_AddIcon(reinterpret_cast<HICON>(bitmap), 9);
             DeleteObject(bitmap);
             return taken;
         }},
        {"icon handle null", [](HMODULE) { return Nello_AddIcon(static_cast<HICON>(nullptr), 9); }},
        {"toolbar that does not exist", [](HMODULE m) { return Nello_LoadToolbar(m, 4242); }},
        {"toolbar of an icon's identifier", [](HMODULE m) { return Nello_LoadToolbar(m, FIXTURE_ICON_PLAIN); }},
        {"toolbar without its button list", [](HMODULE m) { return Nello_LoadToolbar(m, FIXTURE_BITMAP_ONLY); }},
        {"toolbar of an unloaded module", [](HMODULE) { return Nello_LoadToolbar(unloadedModule(), FIXTURE_TOOLBAR_4BIT); }},
        {"toolbar of the host program, which has none",
         [](HMODULE) { return Nello_LoadToolbar(nullptr, FIXTURE_TOOLBAR_4BIT); }},
        {"caption of a destroyed menu", [](HMODULE) { return Nello_SetCaption(destroyedMenu(), "caption"); }},
        {"caption of no menu", [](HMODULE) { return Nello_SetCaption(nullptr, "caption"); }},
        {"caption removed that was never set", [](HMODULE) { return Nello_SetCaption(destroyedMenu(), nullptr); }},
        {"sub-menu image of a destroyed menu", [](HMODULE) { return Nello_SetSubMenuButtonId(destroyedMenu(), 9); }},
        {"sub-menu image of no menu", [](HMODULE) { return Nello_SetSubMenuButtonId(nullptr, 9); }},
        {"sub-menu image removed that was never set",
         [](HMODULE) { return Nello_SetSubMenuButtonId(destroyedMenu(), 0); }},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        const MenuSnapshot before = MenuSnapshot::take();
        EXPECT_FALSE(r.call(fixtures));
        EXPECT_EQ(MenuSnapshot::take(), before);
    }
    // Nothing refused fixed the image size: a 16 x 15 toolbar still comes first.
    EXPECT_TRUE(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_24BIT_15));
    EXPECT_EQ(g_imageHeight, 15);
}

TEST_F(MenuRefusals, LookModesOutOfRangeAreIgnored)
{
    for (int kept : {0, 1}) {
        Nello_SetLookMode(kept);
        for (int mode : {-1, 2, 3, 255, 0x7FFFFFFF, int(0x80000000)}) {
            Nello_SetLookMode(mode);
            EXPECT_EQ(g_lookMode, kept) << mode;
        }
    }
}

// A toolbar whose list names more commands than its bitmap has images keeps
// the images it has; the commands past them stay without one.
TEST_F(MenuRefusals, ToolbarListingMoreCommandsThanItsBitmapHoldsBindsOnlyTheImagesItHas)
{
    robust::ResourceModule rewritten(robust::modulePath(fixtures), "RobustShortBitmap.dll");
    const auto bitmap = robust::resourceBytes(fixtures, reinterpret_cast<LPCSTR>(RT_BITMAP), FIXTURE_TOOLBAR_4BIT);
    // version 1, 16 x 16, three commands on a bitmap of two images
    const std::vector<unsigned char> threeCommands = {1, 0, 16, 0, 16, 0, 3, 0, 100, 0, 101, 0, 102, 0};
    const std::vector<unsigned char> twoAndSeparators = {1, 0, 16, 0, 16, 0, 4, 0, 0, 0, 100, 0, 0, 0, 101, 0};
    const std::vector<unsigned char> others = {1, 0, 16, 0, 16, 0, 2, 0, 103, 0, 104, 0};
    rewritten.add(reinterpret_cast<LPCSTR>(RT_BITMAP), 1, bitmap);
    rewritten.add(MAKEINTRESOURCEA(241), 1, threeCommands);
    rewritten.add(reinterpret_cast<LPCSTR>(RT_BITMAP), 2, bitmap);
    rewritten.add(MAKEINTRESOURCEA(241), 2, twoAndSeparators);
    rewritten.add(reinterpret_cast<LPCSTR>(RT_BITMAP), 3, bitmap);
    rewritten.add(MAKEINTRESOURCEA(241), 3, others);
    ASSERT_TRUE(rewritten.write());

    EXPECT_TRUE(Nello_LoadToolbar(rewritten.module(), 2)) << "separators take no image";
    EXPECT_EQ(FindCommandImage(100), 0);
    EXPECT_EQ(FindCommandImage(101), 1);
    Nello_UnLoadToolbars();

    ASSERT_TRUE(Nello_LoadToolbar(rewritten.module(), 1)) << "one missing image costs only its own command";
    EXPECT_EQ(g_toolbars.size(), 1);
    EXPECT_EQ(ImageList_GetImageCount(g_imageList), 2);
    EXPECT_EQ(FindCommandImage(100), 0);
    EXPECT_EQ(FindCommandImage(101), 1);
    EXPECT_EQ(FindCommandImage(102), -1);
    // Later registrations' images belong to their own commands only.
    ASSERT_TRUE(Nello_LoadToolbar(rewritten.module(), 3));
    EXPECT_EQ(FindCommandImage(103), 2);
    EXPECT_EQ(FindCommandImage(104), 3);
    EXPECT_EQ(FindCommandImage(102), -1) << "another toolbar's image never shows on it";
    ASSERT_TRUE(Nello_AddIcon(fixtures, FIXTURE_ICON_PLAIN, 102));
    EXPECT_EQ(FindCommandImage(102), 4);
}

}  // namespace
