// The painter on screen: what the windows show after attach, during a press
// notification, over a patterned parent, and after tens of thousands of
// paints.
#include "button_paint.h"
#include "paint_fixture.h"
#include "test_support.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kId = 701;

// A copy of what a window shows now.
void readWindow(HWND window, testing_support::DibSurface& into)
{
    HDC dc = GetDC(window);
    BitBlt(into.dc(), 0, 0, into.width(), into.height(), dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
}

// A parent background in which every pixel tells where it is.
COLORREF patternAt(int x, int y)
{
    return RGB((x * 3) & 0xFF, (y * 5) & 0xFF, 0x40 | ((x + y) & 0x0F));
}

bool paintPattern(HDC dc, int width, int height)
{
    std::vector<DWORD> bits(width * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = patternAt(x, y);
            bits[y * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    StretchDIBits(dc, 0, 0, width, height, 0, 0, width, height, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    return true;
}

POINT placeOf(HWND button)
{
    RECT r;
    GetWindowRect(button, &r);
    POINT p{r.left, r.top};
    ScreenToClient(GetParent(button), &p);
    return p;
}

// The interior of a transparent button without text or icon shows the
// parent's pattern at the button's place; the frame lines stay.
void expectPatternUnder(const testing_support::DibSurface& s, POINT place, COLORREF outerLeft)
{
    int wrong = 0;
    for (int y = 3; y < kButtonHeight - 3; ++y)
        for (int x = 3; x < kButtonWidth - 3; ++x)
            if (s.pixel(x, y) != patternAt(place.x + x, place.y + y) && ++wrong <= 3)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << s.pixel(x, y)
                              << ", the parent has " << patternAt(place.x + x, place.y + y);
    EXPECT_EQ(s.pixel(0, 15), outerLeft) << "frame drawn over the copy";
}

void repaintAll(HWND dialog)
{
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    testing_support::pumpMessages(20);
}

}  // namespace

TEST_F(PaintTest, AttachedButtonIsDrawnByTheLibraryAtOnce)
{
    // A default push button: its own look has a dark outer frame, the
    // library's raised frame a highlight one.
    dialog.addButton(kId, BS_DEFPUSHBUTTON, "HI", {10, 10, 10 + kButtonWidth, 10 + kButtonHeight});
    testing_support::pumpMessages(20);
    readWindow(GetDlgItem(dialog.hwnd(), kId), surface);
    ASSERT_NE(surface.pixel(0, 15), GetSysColor(COLOR_BTNHIGHLIGHT)) << "the button's own look differs";
    ASSERT_TRUE(Tavro_Install(dialog.hwnd()));
    ASSERT_TRUE(Tavro_SetGlisk(dialog.hwnd(), kId, true));
    // No pumping: the attach itself must have painted.
    readWindow(GetDlgItem(dialog.hwnd(), kId), surface);
    EXPECT_EQ(surface.pixel(0, 15), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(surface.pixel(kButtonWidth - 1, 15), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(surface.pixel(1, 15), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(surface.pixel(kButtonWidth - 2, 15), GetSysColor(COLOR_BTNSHADOW));
}

TEST_F(PaintTest, NotifyButtonShowsItsHeldLookWhileTheParentHandlesThePress)
{
    HookedButton& b = makeButton(kId);
    ASSERT_TRUE(Tavro_SetMode(dialog.hwnd(), kId, TavroNotify));
    const HWND button = b.hwnd;
    testing_support::DibSurface during(kButtonWidth, kButtonHeight), after(kButtonWidth, kButtonHeight);
    dialog.onNotify = [&](const NMHDR&) { readWindow(button, during); };
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    dialog.onNotify = nullptr;
    readWindow(button, after);
    EXPECT_EQ(during.pixel(0, 15), kDarkShadow) << "sunken while the parent handles it";
    EXPECT_EQ(during.pixel(1, 15), kShadow);
    EXPECT_EQ(after.pixel(0, 15), kHighlight) << "raised again afterwards";
    EXPECT_EQ(after.pixel(1, 15), kLight);
}

TEST_F(PaintTest, PressAndReleaseThroughTheButtonsOwnPaint)
{
    HookedButton& b = makeButton(kId);
    const HWND button = b.hwnd;
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    UpdateWindow(button);
    readWindow(button, surface);
    EXPECT_EQ(surface.pixel(0, 15), kDarkShadow) << "held down: sunken";
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
    UpdateWindow(button);
    readWindow(button, surface);
    EXPECT_EQ(surface.pixel(0, 15), kHighlight) << "released: raised";
    EXPECT_EQ(dialog.clicks(), 1);
}

BOOL WINAPI ignoreLeaveRequest(LPTRACKMOUSEEVENT)
{
    return TRUE;
}

TEST_F(PaintTest, FlatButtonsLookHotFromAttachWhenLeaveTrackingIsMissing)
{
    const std::pair<TrackMouseEventFn, bool> cases[] = {{nullptr, true}, {ignoreLeaveRequest, false}};
    int id = kId;
    for (const auto& [fn, hotLook] : cases) {
        SCOPED_TRACE(hotLook ? "without leave tracking" : "with leave tracking");
        setTrackMouseEventForTesting(fn);
        dialog.addButton(++id, BS_FLAT, "HI", {10, 10, 10 + kButtonWidth, 10 + kButtonHeight});
        ASSERT_TRUE(findDialog(dialog.hwnd()) || Tavro_Install(dialog.hwnd()));
        ASSERT_TRUE(Tavro_SetGlisk(dialog.hwnd(), id, true));
        readWindow(GetDlgItem(dialog.hwnd(), id), surface);
        EXPECT_EQ(surface.pixel(0, 15), hotLook ? GetSysColor(COLOR_BTNHIGHLIGHT) : GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(surface.pixel(kButtonWidth - 1, 15),
                  hotLook ? GetSysColor(COLOR_BTNSHADOW) : GetSysColor(COLOR_BTNFACE));
        DestroyWindow(GetDlgItem(dialog.hwnd(), id));
    }
}

TEST_F(PaintTest, TransparentButtonShowsTheParentAlsoAfterAMove)
{
    const RECT clientOfDialog{0, 0, 400, 300};
    dialog.onEraseBackground = [&](HDC dc) { return paintPattern(dc, clientOfDialog.right, clientOfDialog.bottom); };
    HookedButton& b = makeButton(kId, BS_PUSHBUTTON, "", false, WS_EX_TRANSPARENT);
    repaintAll(dialog.hwnd());
    ASSERT_NE(b.background, nullptr);
    ASSERT_TRUE(paint(b, 0));
    expectPatternUnder(surface, placeOf(b.hwnd), kHighlight);

    b.pushState = 1;  // the copy replaces the checkerboard too
    ASSERT_TRUE(paint(b, 0));
    expectPatternUnder(surface, placeOf(b.hwnd), kDarkShadow);
    b.pushState = 0;

    MoveWindow(b.hwnd, 157, 93, kButtonWidth, kButtonHeight, TRUE);
    repaintAll(dialog.hwnd());
    EXPECT_TRUE(b.backgroundValid);
    ASSERT_TRUE(paint(b, 0));
    expectPatternUnder(surface, POINT{157, 93}, kHighlight);
    EXPECT_NE(surface.pixel(10, 10), patternAt(10 + 10, 10 + 10)) << "not the old place's pixels";
}

// Takes all but a few GDI handles of the process while it lives, so that a
// paint that leaks even one object per call runs out within a few hundred
// paints instead of after the process's 65 thousand.
class HandleHeadroom {
public:
    explicit HandleHeadroom(int headroom)
    {
        while (HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3)))
            taken_.push_back(brush);
        for (int i = 0; i < headroom && !taken_.empty(); ++i) {
            DeleteObject(taken_.back());
            taken_.pop_back();
        }
    }
    ~HandleHeadroom()
    {
        for (HBRUSH brush : taken_)
            DeleteObject(brush);
    }
    bool exhausted() const { return taken_.empty(); }

private:
    std::vector<HBRUSH> taken_;
};

void expectFullPaint(const testing_support::DibSurface& s, POINT place)
{
    EXPECT_EQ(s.pixel(0, 15), kHighlight);
    EXPECT_EQ(s.pixel(kButtonWidth - 1, 15), kDarkShadow);
    EXPECT_EQ(s.pixel(4, 4), patternAt(place.x + 4, place.y + 4)) << "captured background";
    EXPECT_TRUE(findColour(s, kFirstIcon).any) << "icon";
    EXPECT_GT(countColour(s, kText), 0) << "text";
}

// Thousands of paints in every state, with icons and a captured background,
// while only two hundred GDI handles are free: a leak of one object per
// paint fails within two hundred paints. (Without the headroom a process
// has some 65 thousand handles, more than a test can afford to paint.)
TEST_F(PaintTest, ThousandsOfPaintsLeakNothing)
{
    dialog.onEraseBackground = [&](HDC dc) { return paintPattern(dc, 400, 300); };
    HookedButton& b = makeButton(kId, BS_PUSHBUTTON, "HI", true, WS_EX_TRANSPARENT);
    b.mode = TavroSplitDown;
    repaintAll(dialog.hwnd());
    ASSERT_NE(b.background, nullptr);
    ASSERT_NE(b.imageList, nullptr);
    const POINT place = placeOf(b.hwnd);

    struct Variant {
        int pushState;
        UINT itemState;
    };
    const Variant variants[] = {{0, 0}, {0, ODS_SELECTED | ODS_FOCUS}, {1, 0}, {4, 0}, {2, ODS_DISABLED}};
    constexpr int kPaints = 4000;
    {
        HandleHeadroom headroom(200);
        ASSERT_FALSE(headroom.exhausted());
        for (int i = 0; i < kPaints; ++i) {
            const Variant& v = variants[i % 5];
            b.pushState = v.pushState;
            if (!paint(b, v.itemState)) {
                ADD_FAILURE() << "paint " << i << " not drawn";
                break;
            }
        }
        b.pushState = 0;
        ASSERT_TRUE(paint(b, 0));
        expectFullPaint(surface, place);
        RedrawWindow(b.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        testing_support::DibSurface screen(kButtonWidth, kButtonHeight);
        readWindow(b.hwnd, screen);
        expectFullPaint(screen, place);
    }
}

// Not a check: reports the median time of one paint of a 100 x 30 button
// with icon and text in its usual state.
TEST_F(PaintTest, MedianPaintTime)
{
    HookedButton& b = makeButton(kId, BS_PUSHBUTTON, "Save");
    std::vector<double> micros;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    for (int i = 0; i < 2000; ++i) {
        QueryPerformanceCounter(&start);
        paint(b, 0);
        QueryPerformanceCounter(&end);
        micros.push_back(1e6 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
    }
    std::nth_element(micros.begin(), micros.begin() + micros.size() / 2, micros.end());
    std::printf("median paint of a %dx%d button with icon and text: %.1f us over %zu paints\n", kButtonWidth,
                kButtonHeight, micros[micros.size() / 2], micros.size());
    EXPECT_TRUE(findColour(surface, kFirstIcon).any);
}

namespace {

// What the screen shows inside a window's rectangle, read without any
// window's coordinates or layout in between.
void readScreen(HWND window, testing_support::DibSurface& into)
{
    RECT r;
    GetWindowRect(window, &r);
    HDC screen = GetDC(nullptr);
    BitBlt(into.dc(), 0, 0, into.width(), into.height(), screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
}

}  // namespace

// In a mirrored (right-to-left) parent the button's rectangle has its left
// and right edges traded in the parent's coordinates: the copy still has the
// button's size and shows what the parent shows under the button.
TEST_F(PaintTest, TransparentButtonInAMirroredParentShowsTheParentUnderIt)
{
    SetWindowLongA(dialog.hwnd(), GWL_EXSTYLE, GetWindowLongA(dialog.hwnd(), GWL_EXSTYLE) | WS_EX_LAYOUTRTL);
    dialog.onEraseBackground = [&](HDC dc) { return paintPattern(dc, 400, 300); };
    HookedButton& b = makeButton(kId, BS_PUSHBUTTON, "", false, WS_EX_TRANSPARENT, {30, 20, 30 + kButtonWidth, 50});
    ShowWindow(b.hwnd, SW_HIDE);
    repaintAll(dialog.hwnd());
    testing_support::DibSurface parentThere(kButtonWidth, kButtonHeight), shown(kButtonWidth, kButtonHeight);
    readScreen(b.hwnd, parentThere);

    ShowWindow(b.hwnd, SW_SHOW);
    repaintAll(dialog.hwnd());
    ASSERT_NE(b.background, nullptr);
    BITMAP bm = {};
    ASSERT_TRUE(GetObjectA(b.background, sizeof bm, &bm));
    EXPECT_EQ(bm.bmWidth, kButtonWidth);
    EXPECT_EQ(bm.bmHeight, kButtonHeight);
    readScreen(b.hwnd, shown);
    int wrong = 0;
    for (int y = 3; y < kButtonHeight - 3; ++y)
        for (int x = 3; x < kButtonWidth - 3; ++x)
            if (shown.pixel(x, y) != parentThere.pixel(x, y) && ++wrong <= 3)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << shown.pixel(x, y)
                              << ", the parent shows " << parentThere.pixel(x, y);
}
