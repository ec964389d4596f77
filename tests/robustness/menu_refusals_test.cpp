// Bad arguments to every menu export: handles of modules, icons and menus
// that do not exist (any more), resources that are missing or do not agree,
// values out of range. Each is refused or ignored with the library exactly
// as it was, and the library still takes sound registrations afterwards.
#include "menu_state_snapshot.h"
#include "nellolib.h"
#include "robust_support.h"
#include "tavro_fixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using robust::MenuSnapshot;

class MenuRefusals : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitMenuLibrary();
        fixtures = LoadLibraryA(TAVRO_FIXTURES_DLL);
        ASSERT_NE(fixtures, nullptr);
    }
    void TearDown() override
    {
        ShutdownMenuLibrary();
        FreeLibrary(fixtures);
    }

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

    HMODULE fixtures = nullptr;
};

struct Refusal {
    const char* name;
    std::function<bool(HMODULE fixtures)> call;
};

// A toolbar whose list names more commands than its bitmap has images.
TEST_F(MenuRefusals, ToolbarListingMoreCommandsThanItsBitmapHoldsIsRefused)
{
    robust::ResourceModule rewritten(robust::modulePath(fixtures), "RobustShortBitmap.dll");
    const auto bitmap = robust::resourceBytes(fixtures, reinterpret_cast<LPCSTR>(RT_BITMAP), FIXTURE_TOOLBAR_4BIT);
    // version 1, 16 x 16, three commands on a bitmap of two images
    const std::vector<unsigned char> threeCommands = {1, 0, 16, 0, 16, 0, 3, 0, 100, 0, 101, 0, 102, 0};
    const std::vector<unsigned char> twoAndSeparators = {1, 0, 16, 0, 16, 0, 4, 0, 0, 0, 100, 0, 0, 0, 101, 0};
    rewritten.add(reinterpret_cast<LPCSTR>(RT_BITMAP), 1, bitmap);
    rewritten.add(MAKEINTRESOURCEA(241), 1, threeCommands);
    rewritten.add(reinterpret_cast<LPCSTR>(RT_BITMAP), 2, bitmap);
    rewritten.add(MAKEINTRESOURCEA(241), 2, twoAndSeparators);
    ASSERT_TRUE(rewritten.write());

    const MenuSnapshot empty = MenuSnapshot::take();
    EXPECT_FALSE(Nello_LoadToolbar(rewritten.module(), 1));
    EXPECT_EQ(MenuSnapshot::take(), empty);
    EXPECT_EQ(FindCommandImage(102), -1);

    EXPECT_TRUE(Nello_LoadToolbar(rewritten.module(), 2)) << "separators take no image";
    EXPECT_EQ(FindCommandImage(100), 0);
    EXPECT_EQ(FindCommandImage(101), 1);
    // A later registration's image belongs to its own command only.
    ASSERT_TRUE(Nello_AddIcon(fixtures, FIXTURE_ICON_PLAIN, 102));
    EXPECT_EQ(FindCommandImage(102), 2);
}

}  // namespace

namespace {

// A refused image registration must not fix the image size for the next one.
TEST_F(MenuRefusals, RefusedImagesLeaveTheImageSizeOpen)
{
    const Refusal refusals[] = {
        {"icon resource that does not exist", [](HMODULE m) { return Nello_AddIcon(m, 4242, 9); }},
        {"icon handle destroyed", [](HMODULE m) { return Nello_AddIcon(destroyedIcon(m), 9); }},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        const MenuSnapshot before = MenuSnapshot::take();
        EXPECT_FALSE(r.call(fixtures));
        EXPECT_EQ(MenuSnapshot::take(), before);
    }
    EXPECT_TRUE(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_24BIT_15)) << "a 16 x 15 toolbar still comes first";
}

}  // namespace
