// The menu library run for a long time: popups converted, measured, painted
// and given back, real menu loops now and then, images dropped and loaded
// again, looks and system colours changed, for thousands of cycles (a hundred
// thousand with TAVRO_DEEP=1). Afterwards the items and their painting must
// be exactly as before, and the process must hold no more memory and GDI
// objects than the soak's bound allows.
#include "dib_surface.h"
#include "host_api.h"
#include "menu_loop.h"
#include "menu_opening.h"
#include "robust_support.h"
#include "soak_meter.h"
#include "tavro_fixtures.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using robust::LoadedLibrary;
using testing_support::DibSurface;

class Soak : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(fixtures, nullptr); }
    void TearDown() override { FreeLibrary(fixtures); }
    HMODULE fixtures = LoadLibraryA(TAVRO_FIXTURES_DLL);
};


// One opening of popup; the pixels of its first command (position 1, once
// the caption is in). The other items are painted only when paintAll.
std::vector<COLORREF> openPaintAndClose(HWND window, HMENU popup, DibSurface& surface, bool paintAll)
{
    std::vector<COLORREF> firstCommand;
    robust::MenuOpening opening;
    opening.paints = [&](int position, ULONG_PTR) { return paintAll || position == 1; };
    opening.painted = [&](int position, const std::vector<COLORREF>& pixels) {
        if (position == 1)
            firstCommand = pixels;
    };
    robust::openMenuAsTheSystemDoes(window, popup, surface, opening);
    return firstCommand;
}

TEST_F(Soak, PopupsConvertedPaintedAndGivenBackWhileImagesAndColoursChange)
{
    LoadedLibrary dll("Nellolib.dll");
    robust::NelloApi api(dll);
    ASSERT_TRUE(api.complete());
    HWND window = testing_support::createTopLevelWindow("soak host", robust::menuHostProc, WS_POPUP);
    HMENU popup = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    robust::appendEveryKindOfItem(popup, sub);  // the command is item 1 once the caption is in
    ASSERT_TRUE(api.setCaption(popup, "Soak"));
    ASSERT_TRUE(api.setSubMenuButtonId(sub, 100));
    const auto registerImages = [&] {
        return api.loadToolbar(fixtures, FIXTURE_TOOLBAR_4BIT) && api.addIconResource(fixtures, FIXTURE_ICON_COLOURS, 7) &&
               api.addIconHandle(static_cast<HICON>(LoadImageA(fixtures, MAKEINTRESOURCEA(FIXTURE_ICON_PLAIN),
                                                               IMAGE_ICON, 16, 16, 0)),
                                 8);
    };
    ASSERT_TRUE(registerImages());
    ASSERT_TRUE(api.install(window));
    const auto built = robust::itemsOf(popup);
    DibSurface surface(160, 24);
    const std::vector<COLORREF> expected = openPaintAndClose(window, popup, surface, true);
    ASSERT_FALSE(expected.empty());
    const COLORREF marker = RGB(0x80, 0, 0);  // the first toolbar button's marker colour
    ASSERT_NE(std::find(expected.begin(), expected.end(), marker), expected.end()) << "the command's image is drawn";
    ASSERT_EQ(robust::itemsOf(popup), built);

    soak::Meter meter("menus");
    soak::SystemColourSwap colours;
    for (int cycle = 0; cycle < meter.total(); ++cycle) {
        openPaintAndClose(window, popup, surface, cycle % 8 == 0);
        if (cycle % 100 == 0) {
            api.unLoadToolbars();
            ASSERT_TRUE(registerImages()) << "cycle " << cycle;
            api.setLookMode(cycle % 200 == 0 ? 1 : 0);
        }
        if (cycle % 250 == 0) {
            colours.flip(cycle % 500 == 0);
            SendMessageA(window, WM_SYSCOLORCHANGE, 0, 0);
        }
        if (cycle % 50 == 0) {
            ASSERT_TRUE(api.unInstall(window));
            ASSERT_TRUE(api.install(window));
        }
        if (cycle % 1000 == 0)
            robust::trackMenu(window, popup, {[] {}});  // a real menu loop now and then
        ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(built.size())) << "cycle " << cycle;
        meter.cycleDone(cycle);
    }
    colours.flip(false);
    api.setLookMode(0);
    SendMessageA(window, WM_SYSCOLORCHANGE, 0, 0);
    // Counted in the state the meter started in: the reload dropped the
    // images' ready copies and the measuring DC, which the first paint made.
    const bool paintsAsBefore = openPaintAndClose(window, popup, surface, true) == expected;
    meter.finish();

    EXPECT_EQ(robust::itemsOf(popup), built);
    EXPECT_TRUE(paintsAsBefore) << "painting changed after the soak";
    EXPECT_TRUE(api.unInstall(window));
    DestroyMenu(popup);
    DestroyWindow(window);
}

}  // namespace
