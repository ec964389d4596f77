// The button library run for a long time: buttons attached and detached,
// dialogs installed and uninstalled, pressed, sized, painted and recoloured,
// for thousands of cycles (a hundred thousand with TAVRO_DEEP=1). Afterwards
// the painting must give exactly the pixels it gave before, and the process
// must hold no more memory and GDI objects than the soak's bound allows.
#include "button_dialog.h"
#include "dib_surface.h"
#include "host_api.h"
#include "robust_support.h"
#include "soak_meter.h"
#include "tavro_fixtures.h"
#include "tavrolib.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

using button_testing::ButtonDialog;
using robust::LoadedLibrary;
using testing_support::DibSurface;

std::size_t coloursIn(const std::vector<COLORREF>& pixels)
{
    return std::set<COLORREF>(pixels.begin(), pixels.end()).size();
}

class Soak : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(fixtures, nullptr); }
    void TearDown() override { FreeLibrary(fixtures); }
    HMODULE fixtures = LoadLibraryA(TAVRO_FIXTURES_DLL);
};

constexpr int kButtons = 3;
constexpr RECT kButtonPlace[kButtons] = {{10, 10, 110, 40}, {10, 50, 110, 80}, {10, 90, 110, 120}};
constexpr COLORREF kFace = RGB(200, 190, 180);

// The three buttons painted through the dialog's WM_DRAWITEM, as the system
// would ask for them.
std::vector<COLORREF> paintButtons(HWND dialog, DibSurface& surface)
{
    std::vector<COLORREF> all;
    for (int i = 0; i < kButtons; ++i) {
        surface.fill(RGB(1, 2, 3));
        HWND button = GetDlgItem(dialog, 10 + i);
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = 10 + i;
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = button;
        item.hDC = surface.dc();
        GetClientRect(button, &item.rcItem);
        SendMessageA(dialog, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
        const auto pixels = surface.pixels();
        all.insert(all.end(), pixels.begin(), pixels.end());
    }
    return all;
}

bool attachAll(const robust::TavroApi& api, HWND dialog, HMODULE icons, bool withIcons = true)
{
    bool ok = api.install(dialog);
    for (int i = 0; i < kButtons; ++i) {
        const unsigned int id = 10 + i;
        ok = api.setGlisk(dialog, id, true) && ok;
        ok = api.setMode(dialog, id, i == 1 ? TavroSplitDown : TavroToggle) && ok;
        ok = api.setFaceColor(dialog, id, kFace) && ok;
        if (i == 2 && withIcons)
            ok = api.loadIcons(dialog, id, icons, FIXTURE_ICON_COLOURS, FIXTURE_ICON_PLAIN) && ok;
    }
    ok = api.setTextColor(dialog, 10, RGB(0, 128, 0), RGB(128, 0, 0)) && ok;
    return ok;
}

TEST_F(Soak, ButtonsAttachedDetachedPaintedAndRecolouredOverAndOver)
{
    LoadedLibrary dll("Tavrolib.dll");
    robust::TavroApi api(dll);
    ASSERT_TRUE(api.complete());
    ButtonDialog host(300, 200);
    for (int i = 0; i < kButtons; ++i)
        host.addButton(10 + i, i == 0 ? BS_PUSHBUTTON | BS_FLAT : BS_PUSHBUTTON, "Soak", kButtonPlace[i]);
    // Hidden: the library's own repaints then cost nothing, and every paint
    // of the soak goes through WM_DRAWITEM into a DIB that is read back.
    ShowWindow(host.hwnd(), SW_HIDE);
    DibSurface surface(100, 30);

    ASSERT_TRUE(attachAll(api, host.hwnd(), fixtures));
    const std::vector<COLORREF> expected = paintButtons(host.hwnd(), surface);
    ASSERT_EQ(expected[5 * 100 + 5], kFace) << "the face of the first button has the face colour set";
    ASSERT_GE(coloursIn(expected), 4u) << "face, frame, text and icon colours";
    ASSERT_TRUE(api.unInstall(host.hwnd()));

    soak::Meter meter("buttons");
    soak::SystemColourSwap colours;
    for (int cycle = 0; cycle < meter.total(); ++cycle) {
        // Icons are the dearest part of a cycle: every fourth loads them.
        ASSERT_TRUE(attachAll(api, host.hwnd(), fixtures, cycle % 4 == 0)) << "cycle " << cycle;
        HWND split = GetDlgItem(host.hwnd(), 11);
        button_testing::click(split, 95, 5);  // the arrow area: a notification
        button_testing::click(GetDlgItem(host.hwnd(), 10), 5, 5);
        host.events.clear();  // the fixture's own record of what the host was told
        SIZE size;
        ASSERT_TRUE(api.getOptimalSize(host.hwnd(), 12, size));
        paintButtons(host.hwnd(), surface);
        if (cycle % 50 == 0) {
            colours.flip(cycle % 100 == 0);
            SendMessageA(host.hwnd(), WM_SYSCOLORCHANGE, 0, 0);
        }
        // Half the cycles detach one by one, half leave it to the uninstall.
        if (cycle % 2) {
            for (int i = 0; i < kButtons; ++i)
                ASSERT_TRUE(api.setGlisk(host.hwnd(), 10 + i, false));
        }
        ASSERT_TRUE(api.unInstall(host.hwnd()));
        if (cycle % 1000 == 0)
            testing_support::pumpMessages(0);
        meter.cycleDone(cycle);
    }
    colours.flip(false);
    testing_support::pumpMessages(0);
    meter.finish();

    ASSERT_TRUE(attachAll(api, host.hwnd(), fixtures));
    EXPECT_TRUE(paintButtons(host.hwnd(), surface) == expected) << "painting changed after the soak";
    EXPECT_TRUE(api.unInstall(host.hwnd()));
}

}  // namespace
