// Attached buttons at the screen's DPI: arrow strip, separator, triangle,
// frame lines, icon size and place, and the optimal size, all against the
// 96-DPI look brought to this DPI; and a DPI change announced to the dialog.
#include "paint_fixture.h"
#include "screen_dpi.h"
#include "test_support.h"

#include "dpi_scale.h"

#include <algorithm>

namespace {

using testing_support::DibSurface;

constexpr COLORREF kOutline = RGB(0, 0, 0);  // the DC's own pen round the triangle

// The extent of a colour inside an area; right and bottom are inclusive.
struct Extent {
    bool any = false;
    int left = 0, top = 0, right = 0, bottom = 0;
};

Extent extentOf(const DibSurface& s, COLORREF colour, RECT area)
{
    Extent e;
    for (int y = std::max(0L, area.top); y < std::min<long>(s.height(), area.bottom); ++y)
        for (int x = std::max(0L, area.left); x < std::min<long>(s.width(), area.right); ++x) {
            if (s.pixel(x, y) != colour)
                continue;
            if (!e.any)
                e = {true, x, y, x, y};
            e.left = std::min(e.left, x);
            e.right = std::max(e.right, x);
            e.top = std::min(e.top, y);
            e.bottom = std::max(e.bottom, y);
        }
    return e;
}

class ButtonDpiTest : public PaintTest {
protected:
    // A button of 100 x 30 pixels at 96 DPI, at this DPI.
    HookedButton& makeScaledButton(int id, const char* text, bool icons)
    {
        return makeButton(id, BS_PUSHBUTTON, text, icons, 0, RECT{10, 10, 10 + width, 10 + height});
    }
    void paintScaled(const HookedButton& b, UINT itemState)
    {
        scaled.fill(kSentinel);
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = b.controlId;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = itemState;
        item.hwndItem = b.hwnd;
        item.hDC = scaled.dc();
        item.rcItem = RECT{0, 0, width, height};
        ASSERT_EQ(SendMessageA(dialog.hwnd(), WM_DRAWITEM, b.controlId, reinterpret_cast<LPARAM>(&item)), TRUE);
    }

    const int width = px(100);
    const int height = px(30);
    DibSurface scaled{px(100), px(30), kSentinel};
};

TEST(ScreenDpi, IsTheOneThisRunWasStartedFor)
{
    // Without this, a prefix that ignored the setting would test 96 DPI four times.
    EXPECT_EQ(screenDpi(), g_requestedDpi);
    EXPECT_EQ(dpi::ofSystem(), g_requestedDpi);
    HWND window = testing_support::createTopLevelWindow("dpi");
    EXPECT_EQ(dpi::ofWindow(window), g_requestedDpi);
    DestroyWindow(window);
}

TEST_F(ButtonDpiTest, ArrowAreaSeparatorAndTriangleGrowWithTheDpi)
{
    struct Case {
        int mode;
        // The triangle's corners relative to (right edge of content, middle row), at 96 DPI.
        int left, right, up, down;
    };
    const Case cases[] = {{TavroSplitDown, 12, 4, 0, 4}, {TavroSplitRight, 11, 7, 4, 4}};
    int id = 300;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        HookedButton& b = makeScaledButton(++id, "", false);
        ASSERT_TRUE(Tavro_SetMode(dialog.hwnd(), b.controlId, c.mode));
        paintScaled(b, 0);
        const int right = width - px(2);  // content edge at rest
        const int mid = px(2) + ((height - 2 * px(2)) >> 1);
        // The separator: two one-pixel lines, as the system keeps its edges.
        const int separator = right - px(15);
        EXPECT_EQ(scaled.pixel(separator, mid), kShadow);
        EXPECT_EQ(scaled.pixel(separator + 1, mid), kHighlight);
        EXPECT_EQ(scaled.pixel(separator - 1, mid), kFace);
        EXPECT_EQ(scaled.pixel(separator + 2, mid), kFace);
        const Extent triangle = extentOf(scaled, kOutline, RECT{separator, 0, width, height});
        ASSERT_TRUE(triangle.any);
        EXPECT_EQ(triangle.left, right - px(c.left));
        EXPECT_EQ(triangle.right, right - px(c.right));
        EXPECT_EQ(triangle.top, mid - px(c.up));
        EXPECT_EQ(triangle.bottom, mid + px(c.down));
    }
}

TEST_F(ButtonDpiTest, FrameLinesStayOnePixel)
{
    HookedButton& b = makeScaledButton(301, "", false);
    paintScaled(b, 0);
    const int mid = height / 2;
    // Raised 3D frame: outer and inner line on each side, then the face.
    EXPECT_EQ(scaled.pixel(0, mid), kHighlight);
    EXPECT_EQ(scaled.pixel(1, mid), kLight);
    EXPECT_EQ(scaled.pixel(2, mid), kFace);
    EXPECT_EQ(scaled.pixel(width - 1, mid), kDarkShadow);
    EXPECT_EQ(scaled.pixel(width - 2, mid), kShadow);
    EXPECT_EQ(scaled.pixel(width - 3, mid), kFace);
}

TEST_F(ButtonDpiTest, ArrowStripTakesPressesAcrossItsScaledWidth)
{
    HookedButton& b = makeScaledButton(302, "", false);
    ASSERT_TRUE(Tavro_SetMode(dialog.hwnd(), b.controlId, TavroSplitDown));
    RECT client;
    GetClientRect(b.hwnd, &client);
    const int stripLeft = client.right - px(17);
    button_testing::click(b.hwnd, stripLeft, client.bottom / 2);
    EXPECT_EQ(dialog.notifications(TAVRO_PRESS_NOTIFICATION), 1);
    button_testing::click(b.hwnd, stripLeft - 1, client.bottom / 2);
    EXPECT_EQ(dialog.notifications(TAVRO_PRESS_NOTIFICATION), 1);
}

TEST_F(ButtonDpiTest, IconsAreLoadedAtTheSmallIconSizeOfThisDpi)
{
    HookedButton& b = makeScaledButton(303, "", true);
    // 16-pixel icons: the system's small icon size is the same 16 at this DPI.
    EXPECT_EQ(b.iconWidth, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(b.iconHeight, GetSystemMetrics(SM_CYSMICON));
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(b.imageList, &cx, &cy));
    EXPECT_EQ(cx, b.iconWidth);
    EXPECT_EQ(cy, b.iconHeight);
}

TEST_F(ButtonDpiTest, IconSitsWhereTheScaledBorderGapAndOffsetPutIt)
{
    struct Case {
        UINT state;
        int offset;  // at 96 DPI: a pressed 3D button moves its content by 2
    };
    int id = 310;
    for (const Case& c : {Case{0, 0}, Case{ODS_SELECTED, 2}}) {
        SCOPED_TRACE(c.state);
        HookedButton& b = makeScaledButton(++id, "", true);
        paintScaled(b, c.state);
        const int icon = GetSystemMetrics(SM_CXSMICON);
        const int border = px(2), shift = px(c.offset);
        const int contentWidth = width - 2 * border, contentHeight = height - 2 * border;
        const Extent drawn = extentOf(scaled, kFirstIcon, RECT{0, 0, width, height});
        ASSERT_TRUE(drawn.any);
        EXPECT_EQ(drawn.left, border + shift + ((contentWidth - icon - px(5)) >> 1));
        EXPECT_EQ(drawn.top, border + shift + ((contentHeight - icon) >> 1));
        EXPECT_EQ(drawn.right - drawn.left + 1, icon);
        EXPECT_EQ(drawn.bottom - drawn.top + 1, icon);
    }
}

TEST_F(ButtonDpiTest, OptimalSizeTakesGapsAndArrowAreaAtThisDpi)
{
    HookedButton& b = makeScaledButton(320, "Print", true);
    ASSERT_TRUE(Tavro_SetMode(dialog.hwnd(), b.controlId, TavroSplitDown));
    SIZE text = {};
    {
        HDC dc = GetDC(b.hwnd);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(b.hwnd, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32A(dc, "Print", 5, &text);
        SelectObject(dc, old);
        ReleaseDC(b.hwnd, dc);
    }
    const int icon = GetSystemMetrics(SM_CXSMICON);
    SIZE size = {};
    ASSERT_TRUE(Tavro_GetOptimalSize(dialog.hwnd(), b.controlId, size));
    EXPECT_EQ(size.cx, text.cx + icon + 2 * px(5) + px(20));
    EXPECT_EQ(size.cy, std::max<LONG>(text.cy, icon) + px(5));
}

// Wine cannot move a window to a screen of another DPI, so the system's
// announcement is sent here as the system would send it.
TEST_F(ButtonDpiTest, ADpiChangeReloadsIconsAndMovesTheArrowStrip)
{
    HookedButton& b = makeScaledButton(330, "", true);
    ASSERT_TRUE(Tavro_SetMode(dialog.hwnd(), b.controlId, TavroSplitDown));
    const int newDpi = screenDpi() == 192 ? 120 : 192;
    RECT suggested;
    GetWindowRect(dialog.hwnd(), &suggested);
    SendMessageA(dialog.hwnd(), WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi), reinterpret_cast<LPARAM>(&suggested));

    HookedButton* moved = findButton(dialog.hwnd(), 330);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->iconWidth, px(16, newDpi));
    RECT client;
    GetClientRect(moved->hwnd, &client);
    button_testing::click(moved->hwnd, client.right - px(17, newDpi), client.bottom / 2);
    EXPECT_EQ(dialog.notifications(TAVRO_PRESS_NOTIFICATION), 1);
    button_testing::click(moved->hwnd, client.right - px(17, newDpi) - 1, client.bottom / 2);
    EXPECT_EQ(dialog.notifications(TAVRO_PRESS_NOTIFICATION), 1);

    // After its parent, a child reads the DPI that applies to it now.
    SendMessageA(moved->hwnd, WM_DPICHANGED_AFTERPARENT, 0, 0);
    EXPECT_EQ(moved->iconWidth, GetSystemMetrics(SM_CXSMICON));
}

}  // namespace
