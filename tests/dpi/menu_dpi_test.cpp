// Menu items at the screen's DPI: image size, item heights and widths, the
// caption band, and toolbar images scaled with their transparency, in colour
// and in the grey look; and a DPI change announced to an installed window.
#include "item_fixture.h"
#include "screen_dpi.h"
#include "test_support.h"

#include "dib_surface.h"
#include "greyscale.h"
#include "menu_dpi.h"

#include <algorithm>

namespace {

constexpr COLORREF kUntouched = RGB(1, 2, 3);
constexpr COLORREF kMarker = RGB(0x80, 0, 0);  // lower right quarter of the fixture's first toolbar image

SIZE systemMenuTextExtent(const char* text)
{
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = 340;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0);
    HFONT font = CreateFontIndirectA(&metrics.lfMenuFont);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    SIZE extent = {};
    GetTextExtentPoint32A(screen, text, static_cast<int>(std::strlen(text)), &extent);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
    return extent;
}

class MenuDpiTest : public ItemTest {
protected:
    MEASUREITEMSTRUCT measure(const MenuItemData& record)
    {
        MEASUREITEMSTRUCT mis = {};
        mis.CtlType = ODT_MENU;
        mis.itemData = reinterpret_cast<ULONG_PTR>(&record);
        EXPECT_TRUE(MeasureMenuItem(&mis));
        return mis;
    }
    void draw(testing_support::DibSurface& surface, const MenuItemData& record)
    {
        surface.fill(kUntouched);
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_MENU;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.hDC = surface.dc();
        dis.rcItem = RECT{0, 0, surface.width(), surface.height()};
        dis.itemData = reinterpret_cast<ULONG_PTR>(&record);
        ASSERT_TRUE(DrawMenuItem(&dis));
        SelectClipRgn(surface.dc(), nullptr);
    }
};

TEST_F(MenuDpiTest, RegisteredImagesTakeTheSmallIconSizeOfThisDpi)
{
    struct Case {
        const char* name;
        bool (*registerImage)(HINSTANCE);
    };
    const Case cases[] = {
        {"icon", [](HINSTANCE m) { return Nello_AddIcon(m, FIXTURE_ICON_PLAIN, 1); }},
        {"16 x 16 toolbar", [](HINSTANCE m) { return Nello_LoadToolbar(m, FIXTURE_TOOLBAR_4BIT); }},
        {"32-bit toolbar with alpha", [](HINSTANCE m) { return Nello_LoadToolbar(m, FIXTURE_TOOLBAR_32BIT_V5); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Nello_UnLoadToolbars();
        ASSERT_TRUE(c.registerImage(fixtures));
        int cx = 0, cy = 0;
        ASSERT_TRUE(ImageList_GetIconSize(g_imageList, &cx, &cy));
        EXPECT_EQ(cx, GetSystemMetrics(SM_CXSMICON));
        EXPECT_EQ(cy, GetSystemMetrics(SM_CYSMICON));
        EXPECT_EQ(g_imageWidth, cx);
    }
    // An icon first, then a 16 x 16 toolbar: both are 96-DPI images.
    ASSERT_TRUE(Nello_AddIcon(fixtures, FIXTURE_ICON_PLAIN, 7));
    EXPECT_TRUE(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_8BIT));
}

// Icons are drawn whole at the images' size whichever way they came: a
// resource loaded at that size, or a 16 x 16 handle that the host loaded.
TEST_F(MenuDpiTest, IconsFillTheScaledImage)
{
    constexpr COLORREF kPlain = RGB(0x20, 0x40, 0xA0);
    struct Case {
        const char* name;
        bool (*registerIcon)(HINSTANCE);
    };
    const Case cases[] = {
        {"resource", [](HINSTANCE m) { return Nello_AddIcon(m, FIXTURE_ICON_PLAIN, 1); }},
        {"16 x 16 handle",
         [](HINSTANCE m) {
             return Nello_AddIcon(static_cast<HICON>(LoadImageA(m, MAKEINTRESOURCEA(FIXTURE_ICON_PLAIN), IMAGE_ICON,
                                                                16, 16, LR_DEFAULTCOLOR)),
                                  1);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Nello_UnLoadToolbars();
        ASSERT_TRUE(c.registerIcon(fixtures));
        const Record command = makeRecord("Plain", MFT_STRING, 0);
        const int height = static_cast<int>(measure(*command).itemHeight);
        testing_support::DibSurface surface{px(150), height, kUntouched};
        draw(surface, *command);
        int count = 0;
        for (const COLORREF p : surface.pixels())
            count += p == kPlain;
        const int image = GetSystemMetrics(SM_CXSMICON);
        EXPECT_EQ(count, image * image);
    }
}

TEST_F(MenuDpiTest, ItemSizesFollowTheSystemMetricsOfThisDpi)
{
    addColourIcon();
    const int image = GetSystemMetrics(SM_CXSMICON);
    const SIZE text = systemMenuTextExtent("Open file");
    const Record command = makeRecord("Open file", MFT_STRING, 0);
    const MEASUREITEMSTRUCT item = measure(*command);
    const int height = std::max<int>(text.cy, image) + px(4);
    EXPECT_EQ(static_cast<int>(item.itemHeight), height);
    const int column = std::max(image + px(4), height);
    EXPECT_EQ(static_cast<int>(item.itemWidth),
              column + text.cx - GetSystemMetrics(SM_CXMENUCHECK) + height + px(5));

    Record caption = makeRecord("Caption");
    caption->isCaption = true;
    EXPECT_EQ(static_cast<int>(measure(*caption).itemHeight), GetSystemMetrics(SM_CYSIZE) + px(4));
    const Record separator = makeRecord("", MFT_SEPARATOR);
    EXPECT_EQ(static_cast<int>(measure(*separator).itemHeight), GetSystemMetrics(SM_CYMENU) / 2);
}

TEST_F(MenuDpiTest, ToolbarImagesAreScaledWithTheirTransparencyInBothLooks)
{
    ASSERT_TRUE(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_4BIT));
    const Record command = makeRecord("Open", MFT_STRING, FindCommandImage(100));
    ASSERT_EQ(command->imageIndex, 0);
    const int height = static_cast<int>(measure(*command).itemHeight);
    const int image = GetSystemMetrics(SM_CXSMICON);
    const int column = std::max(image + px(4), height);
    const int x = 1 + ((column - 2 - image) >> 1);
    const int y = 1 + ((height - 2 - image) >> 1);
    const int firstOpaqueRow = px(4);  // the top four rows of the image are the toolbar's background

    struct Look {
        int mode;
        COLORREF marker;
    };
    const BYTE grey = GreyLevel(0x80, 0, 0);
    for (const Look& look : {Look{0, kMarker}, Look{1, RGB(grey, grey, grey)}}) {
        SCOPED_TRACE(look.mode);
        Nello_SetLookMode(look.mode);
        testing_support::DibSurface surface{px(150), height, kUntouched};
        draw(surface, *command);
        for (int row = 0; row < image; ++row) {
            for (int col = 0; col < image; ++col) {
                const bool untouched = surface.pixel(x + col, y + row) == kUntouched;
                ASSERT_EQ(untouched, row < firstOpaqueRow) << "image pixel " << col << ", " << row;
            }
        }
        EXPECT_EQ(surface.pixel(x + image - 1, y + image - 1), look.marker);
        EXPECT_EQ(surface.pixel(x + image, y + image - 1), kUntouched);  // nothing right of the image
    }
    Nello_SetLookMode(0);
}

TEST_F(MenuDpiTest, AToolbarMadeForTheScaledSizeIsTakenAsItIs)
{
    ASSERT_TRUE(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_4BIT));  // 16 x 16: the images' 96-DPI size
    // 24 x 24 is the images' size at 144 DPI only; anywhere else it fits neither size.
    const bool fits = GetSystemMetrics(SM_CXSMICON) == 24;
    ASSERT_EQ(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_24X24), fits);
    if (!fits)
        return;
    const Record command = makeRecord("Made for 144 DPI", MFT_STRING, FindCommandImage(700));
    ASSERT_EQ(command->imageIndex, 2);
    const int height = static_cast<int>(measure(*command).itemHeight);
    const int column = std::max(24 + px(4), height);
    const int x = 1 + ((column - 2 - 24) >> 1);
    const int y = 1 + ((height - 2 - 24) >> 1);
    testing_support::DibSurface surface{px(150), height, kUntouched};
    draw(surface, *command);
    // Not scaled: the background rows end at row 4 as drawn, not at row 6.
    for (int row = 0; row < 24; ++row)
        EXPECT_EQ(surface.pixel(x + 12, y + row) == kUntouched, row < 4) << row;
    EXPECT_EQ(surface.pixel(x + 23, y + 23), kMarker);
}

// Wine cannot move a window to a screen of another DPI, so the system's
// announcement is sent here as the system would send it.
TEST_F(MenuDpiTest, ADpiChangeRebuildsImagesAndSizesForTheNewDpi)
{
    ASSERT_TRUE(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_4BIT));
    HWND window = testing_support::createTopLevelWindow("menu dpi");
    ASSERT_TRUE(Nello_Install(window));
    const int newDpi = screenDpi() == 192 ? 120 : 192;
    RECT suggested;
    GetWindowRect(window, &suggested);
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi), reinterpret_cast<LPARAM>(&suggested));

    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(g_imageList, &cx, &cy));
    EXPECT_EQ(cx, px(16, newDpi));
    EXPECT_EQ(FindCommandImage(100), 0);
    Record caption = makeRecord("Caption");
    caption->isCaption = true;
    EXPECT_EQ(static_cast<int>(measure(*caption).itemHeight), dpi::systemMetric(SM_CYSIZE, newDpi) + px(4, newDpi));

    // The window's next popup stays at the DPI it was told of.
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 100, "Open");
    SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    ASSERT_TRUE(ImageList_GetIconSize(g_imageList, &cx, &cy));
    EXPECT_EQ(cx, px(16, newDpi));
    SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    DestroyMenu(popup);
    EXPECT_TRUE(Nello_UnInstall(window));
    DestroyWindow(window);
}

}  // namespace
