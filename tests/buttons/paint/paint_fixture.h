// A painted attached button: a 100 x 30 button with a palette of seven
// distinct colours, red and blue icons, painted through the dialog's
// WM_DRAWITEM into a 32-bit DIB whose pixels the tests read.
#pragma once

#include "button_dialog.h"
#include "button_registry.h"
#include "dib_surface.h"
#include "icon_module.h"
#include "tavrolib.h"

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <vector>

constexpr COLORREF kFace = RGB(200, 190, 180);
constexpr COLORREF kLight = RGB(230, 220, 10);
constexpr COLORREF kHighlight = RGB(250, 250, 240);
constexpr COLORREF kShadow = RGB(100, 90, 80);
constexpr COLORREF kDarkShadow = RGB(30, 40, 50);
constexpr COLORREF kText = RGB(0, 128, 0);
constexpr COLORREF kHotText = RGB(128, 0, 128);
constexpr COLORREF kFirstIcon = RGB(255, 0, 0);
constexpr COLORREF kSecondIcon = RGB(0, 0, 255);
constexpr COLORREF kSentinel = RGB(1, 2, 3);

constexpr unsigned int kFirstIconId = 1, kSecondIconId = 2, kLargeIconId = 3;
constexpr int kButtonWidth = 100, kButtonHeight = 30;

// Where a colour first shows: the top row and leftmost column that have it.
struct Found {
    bool any = false;
    int left = 0;
    int top = 0;
};

Found findColour(const testing_support::DibSurface& s, COLORREF colour, RECT area = {0, 0, 10000, 10000});
int countColour(const testing_support::DibSurface& s, COLORREF colour, RECT area = {0, 0, 10000, 10000});

// What drawing left on a background inside an area, cropped to the box of
// the pixels that differ from it: the same text drawn anywhere gives equal
// ink, other glyphs or lost lines do not.
struct Ink {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;  // row after row; background pixels as 0xFFFFFFFF
    bool operator==(const Ink& o) const { return width == o.width && height == o.height && pixels == o.pixels; }
};
Ink inkOf(const testing_support::DibSurface& s, COLORREF background, RECT area);
std::ostream& operator<<(std::ostream& out, const Ink& ink);

using button_testing::IconModule;

class PaintTest : public ::testing::Test {
protected:
    void SetUp() override { libraryLoad(); }
    void TearDown() override { libraryUnload(); }

    // Adds, attaches and colours a button; with icons unless told otherwise.
    HookedButton& makeButton(int id, DWORD style = BS_PUSHBUTTON, const char* text = "HI", bool icons = true,
                             DWORD exStyle = 0, RECT place = {10, 10, 10 + kButtonWidth, 10 + kButtonHeight});
    static void usePalette(HookedButton& b);

    // Paints through the dialog's WM_DRAWITEM into `surface`; true when the
    // dialog reported the item drawn.
    bool paint(const HookedButton& b, UINT itemState, UINT ctlType = ODT_BUTTON);

    static IconModule& icons();

    button_testing::ButtonDialog dialog{400, 300};
    testing_support::DibSurface surface{kButtonWidth, kButtonHeight, kSentinel};
};

