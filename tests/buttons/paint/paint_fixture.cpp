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

Ink inkOf(const testing_support::DibSurface& s, COLORREF background, RECT area)
{
    const LONG right = std::min<LONG>(s.width(), area.right), bottom = std::min<LONG>(s.height(), area.bottom);
    RECT box{right, bottom, area.left, area.top};
    for (LONG y = area.top; y < bottom; ++y)
        for (LONG x = area.left; x < right; ++x)
            if (s.pixel(x, y) != background) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    Ink ink;
    if (box.left >= box.right)
        return ink;
    ink.width = box.right - box.left;
    ink.height = box.bottom - box.top;
    for (LONG y = box.top; y < box.bottom; ++y)
        for (LONG x = box.left; x < box.right; ++x) {
            const COLORREF c = s.pixel(x, y);
            ink.pixels.push_back(c == background ? 0xFFFFFFFF : c);
        }
    return ink;
}

std::ostream& operator<<(std::ostream& out, const Ink& ink)
{
    out << ink.width << " x " << ink.height << " ink\n";
    for (int y = 0; y < ink.height; ++y) {
        for (int x = 0; x < ink.width; ++x)
            out << (ink.pixels[y * ink.width + x] == 0xFFFFFFFF ? '.' : '#');
        out << '\n';
    }
    return out;
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
