// Pixel search helpers and the painted-button fixture.
#include "paint_fixture.h"

#include <algorithm>

Found findColour(const testing_support::DibSurface& s, COLORREF colour, RECT area)
{
    Found f;
    for (int y = std::max(0L, area.top); y < std::min<long>(s.height(), area.bottom); ++y)
        for (int x = std::max(0L, area.left); x < std::min<long>(s.width(), area.right); ++x)
            if (s.pixel(x, y) == colour) {
                if (!f.any) {
                    f = {true, x, y};
                } else if (x < f.left) {
                    f.left = x;
                }
            }
    return f;
}

int countColour(const testing_support::DibSurface& s, COLORREF colour, RECT area)
{
    int n = 0;
    for (int y = std::max(0L, area.top); y < std::min<long>(s.height(), area.bottom); ++y)
        for (int x = std::max(0L, area.left); x < std::min<long>(s.width(), area.right); ++x)
            n += s.pixel(x, y) == colour;
    return n;
}

IconModule& PaintTest::icons()
{
    static IconModule module({{kFirstIconId, 16, kFirstIcon}, {kSecondIconId, 16, kSecondIcon},
                              {kLargeIconId, 24, RGB(0, 255, 0)}});
    return module;
}

void PaintTest::usePalette(HookedButton& b)
{
    b.faceColor = kFace;
    b.lightColor = kLight;
    b.highlightColor = kHighlight;
    b.shadowColor = kShadow;
    b.darkShadowColor = kDarkShadow;
    b.textColor = kText;
    b.hotTextColor = kHotText;
}

HookedButton& PaintTest::makeButton(int id, DWORD style, const char* text, bool withIcons, DWORD exStyle, RECT place)
{
    dialog.addButton(id, style, text, place, exStyle);
    if (!findDialog(dialog.hwnd())) {
        EXPECT_TRUE(Tavro_Install(dialog.hwnd()));
    }
    EXPECT_TRUE(Tavro_SetGlisk(dialog.hwnd(), id, true));
    HookedButton* b = findButton(dialog.hwnd(), id);
    if (!b)
        throw std::runtime_error("button not attached");
    usePalette(*b);
    if (withIcons) {
        EXPECT_TRUE(Tavro_LoadIcons(dialog.hwnd(), id, icons().handle(), kFirstIconId, kSecondIconId));
    }
    return *b;
}

bool PaintTest::paint(const HookedButton& b, UINT itemState, UINT ctlType)
{
    surface.fill(kSentinel);
    DRAWITEMSTRUCT item = {};
    item.CtlType = ctlType;
    item.CtlID = b.controlId;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = itemState;
    item.hwndItem = b.hwnd;
    item.hDC = surface.dc();
    item.rcItem = RECT{0, 0, surface.width(), surface.height()};
    return SendMessageA(dialog.hwnd(), WM_DRAWITEM, b.controlId, reinterpret_cast<LPARAM>(&item)) == TRUE;
}
