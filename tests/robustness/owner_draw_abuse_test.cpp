// WM_DRAWITEM and WM_MEASUREITEM as anyone may send them to an installed
// dialog or window: no structure, the wrong control type, no device context,
// rectangles that are empty, inverted or huge, identifiers of other
// controls, item data that is not (or no longer) the library's. Nothing may
// crash or leak, and the next ordinary paint gives the same pixels as before.
#include "button_dialog.h"
#include "dib_surface.h"
#include "host_api.h"
#include "menu_loop.h"
#include "robust_support.h"
#include "tavrolib.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using robust::LoadedLibrary;
using testing_support::DibSurface;

// The odd variants of one well-formed DRAWITEMSTRUCT.
struct DrawVariant {
    const char* name;
    void (*change)(DRAWITEMSTRUCT&);
};
const DrawVariant kDrawVariants[] = {
    {"no device context", [](DRAWITEMSTRUCT& d) { d.hDC = nullptr; }},
    {"empty rectangle", [](DRAWITEMSTRUCT& d) { d.rcItem = {5, 5, 5, 5}; }},
    {"inverted rectangle", [](DRAWITEMSTRUCT& d) { d.rcItem = {50, 20, 0, 0}; }},
    {"huge rectangle", [](DRAWITEMSTRUCT& d) { d.rcItem = {-100000, -100000, 100000, 100000}; }},
    {"rectangle far outside", [](DRAWITEMSTRUCT& d) { d.rcItem = {0x7FFF0000, 0, 0x7FFF0010, 16}; }},
    {"every state bit", [](DRAWITEMSTRUCT& d) { d.itemState = 0xFFFFFFFF; }},
    {"every action bit", [](DRAWITEMSTRUCT& d) { d.itemAction = 0xFFFFFFFF; }},
    {"the other control type",
     [](DRAWITEMSTRUCT& d) { d.CtlType = d.CtlType == ODT_MENU ? ODT_BUTTON : ODT_MENU; }},
    {"a combo box", [](DRAWITEMSTRUCT& d) { d.CtlType = ODT_COMBOBOX; }},
    {"another control", [](DRAWITEMSTRUCT& d) { d.CtlID = 999; d.itemID = 999; }},
    {"item data of no one", [](DRAWITEMSTRUCT& d) { d.itemData = 0x1234; }},
    {"item data that is a stack address", [](DRAWITEMSTRUCT& d) { d.itemData = reinterpret_cast<ULONG_PTR>(&d); }},
};

TEST(OwnerDrawAbuse, ButtonDialogTakesAnyDrawItemAndStillPaintsAlike)
{
    LoadedLibrary dll("Tavrolib.dll");
    robust::TavroApi api(dll);
    ASSERT_TRUE(api.complete());
    button_testing::ButtonDialog host;
    HWND button = host.addButton(1, BS_PUSHBUTTON, "Draw", {10, 10, 110, 40});
    ASSERT_TRUE(api.install(host.hwnd()));
    ASSERT_TRUE(api.setGlisk(host.hwnd(), 1, true));
    ASSERT_TRUE(api.setMode(host.hwnd(), 1, TavroSplitDown));
    DibSurface surface(100, 30);
    const DRAWITEMSTRUCT sound = {ODT_BUTTON, 1, 0, ODA_DRAWENTIRE, 0, button, surface.dc(), {0, 0, 100, 30}, 0};
    const auto paint = [&](DRAWITEMSTRUCT item) {
        surface.fill(RGB(1, 2, 3));
        return SendMessageA(host.hwnd(), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    };
    ASSERT_TRUE(paint(sound));
    const std::vector<COLORREF> expected = surface.pixels();
    int gdiObjects = 0;
    // The first round lets the system make what it keeps for good (the
    // focus rectangle's brush, for one); the later ones may add nothing.
    for (int round = 0; round < 3; ++round) {
        if (round == 1)
            gdiObjects = robust::liveGdiObjects();
        SendMessageA(host.hwnd(), WM_DRAWITEM, 1, 0);
        for (const DrawVariant& v : kDrawVariants) {
            SCOPED_TRACE(v.name);
            DRAWITEMSTRUCT odd = sound;
            v.change(odd);
            paint(odd);
            EXPECT_TRUE(paint(sound));
            EXPECT_TRUE(surface.pixels() == expected) << "the next ordinary paint differs";
        }
    }
    EXPECT_EQ(robust::liveGdiObjects(), gdiObjects);
    EXPECT_TRUE(api.unInstall(host.hwnd()));
}

LRESULT CALLBACK plainHost(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(OwnerDrawAbuse, MenuWindowTakesAnyDrawOrMeasureItemAndStillPaintsAlike)
{
    LoadedLibrary dll("Nellolib.dll");
    robust::NelloApi api(dll);
    ASSERT_TRUE(api.complete());
    HWND window = testing_support::createTopLevelWindow("owner-draw host", plainHost, WS_POPUP);
    HMENU popup = CreatePopupMenu();
    robust::appendItem(popup, 1, "First");
    robust::appendItem(popup, 2, "&Second\tCtrl+S");
    ASSERT_TRUE(api.install(window));
    // Opened the way the system opens it; closed at the end.
    SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    const auto items = robust::itemsOf(popup);
    ASSERT_TRUE(items[1].type & MFT_OWNERDRAW);
    DibSurface surface(120, 20);
    const DRAWITEMSTRUCT sound = {ODT_MENU,    0, 2, ODA_DRAWENTIRE, ODS_SELECTED, reinterpret_cast<HWND>(popup),
                                  surface.dc(), {0, 0, 120, 20}, items[1].data};
    const auto paint = [&](DRAWITEMSTRUCT item) {
        surface.fill(RGB(1, 2, 3));
        return SendMessageA(window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
    };
    ASSERT_TRUE(paint(sound));
    const std::vector<COLORREF> expected = surface.pixels();
    int gdiObjects = 0;
    for (int round = 0; round < 3; ++round) {
        if (round == 1)
            gdiObjects = robust::liveGdiObjects();
        SendMessageA(window, WM_DRAWITEM, 0, 0);
        SendMessageA(window, WM_MEASUREITEM, 0, 0);
        for (const DrawVariant& v : kDrawVariants) {
            SCOPED_TRACE(v.name);
            DRAWITEMSTRUCT odd = sound;
            v.change(odd);
            paint(odd);
            MEASUREITEMSTRUCT measure = {odd.CtlType, odd.CtlID, odd.itemID, 0, 0, odd.itemData};
            SendMessageA(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
            EXPECT_TRUE(paint(sound));
            EXPECT_TRUE(surface.pixels() == expected) << "the next ordinary paint differs";
        }
    }
    SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    // The record is gone with the close: its old address is nobody's now.
    DRAWITEMSTRUCT stale = sound;
    EXPECT_FALSE(paint(stale)) << "a freed record is not drawn";
    MEASUREITEMSTRUCT staleMeasure = {ODT_MENU, 0, 2, 0, 0, sound.itemData};
    EXPECT_FALSE(SendMessageA(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&staleMeasure)));
    EXPECT_EQ(robust::liveGdiObjects(), gdiObjects);
    EXPECT_TRUE(api.unInstall(window));
    DestroyMenu(popup);
    DestroyWindow(window);
}

}  // namespace
