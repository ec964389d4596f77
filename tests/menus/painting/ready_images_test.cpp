// The ready copies of the images that painting keeps: the same pixels as the
// image list's own transparent draw on any background, for every kind of
// registered image and across the growth of the copies; copies that follow
// the images when they are unloaded and registered anew; and a fixed number
// of GDI objects however many images were drawn.
#include "item_fixture.h"
#include "dib_surface.h"
#include "ready_images.h"

#include <string>
#include <vector>

namespace {

using testing_support::DibSurface;

// Every pixel a different mix, the menu colour, black and white among them,
// so that a transparent pixel drawn opaque or a mask bit lost shows.
void fillPattern(DibSurface& surface)
{
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
            surface.setPixel(x, y, RGB((x * 37 + y * 11) & 0xFF, (x * 5 + y * 53) & 0xFF, (x * 91) ^ (y * 29)));
    surface.setPixel(4, 4, g_menuColor);
    surface.setPixel(5, 4, RGB(0, 0, 0));
    surface.setPixel(6, 4, RGB(255, 255, 255));
}

class ReadyImageCopies : public ItemTest {
protected:
    // Images of every kind the library registers, all 16 x 16: toolbars of
    // 1, 4, 8 and 24 (top-down) bits and 32 bits with alpha, and icons.
    void registerEveryKind()
    {
        for (unsigned int toolbar : {FIXTURE_TOOLBAR_4BIT, FIXTURE_TOOLBAR_8BIT, FIXTURE_TOOLBAR_24BIT_TOP,
                                     FIXTURE_TOOLBAR_32BIT_V5, FIXTURE_TOOLBAR_1BIT})
            ASSERT_TRUE(Nello_LoadToolbar(fixtures, toolbar)) << toolbar;
        ASSERT_TRUE(Nello_AddIcon(fixtures, FIXTURE_ICON_COLOURS, 1));
        ASSERT_TRUE(Nello_AddIcon(fixtures, FIXTURE_ICON_PLAIN, 2));
    }
    // More icons, so that the copies need more than one row of their grid.
    void addIcons(int count)
    {
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(Nello_AddIcon(fixtures, i % 2 ? FIXTURE_ICON_PLAIN : FIXTURE_ICON_COLOURS, 1000 + i));
    }
    int imageCount() const { return ImageList_GetImageCount(g_imageList); }

    std::vector<COLORREF> listDraw(int index)
    {
        fillPattern(surface);
        ImageList_Draw(g_imageList, index, surface.dc(), 3, 2, ILD_TRANSPARENT);
        return surface.pixels();
    }
    std::vector<COLORREF> readyDraw(ReadyImages& ready, int index)
    {
        fillPattern(surface);
        EXPECT_TRUE(ready.draw(g_imageList, index, surface.dc(), 3, 2)) << "image " << index;
        return surface.pixels();
    }
    // An item with image index painted alone on the untouched colour.
    std::vector<COLORREF> paintedItem(int index, UINT state = 0)
    {
        Record record = makeRecord("Item", MFT_STRING, index);
        surface.fill(kBackground);
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_MENU;
        dis.itemState = state;
        dis.hDC = surface.dc();
        dis.rcItem = {0, 0, surface.width(), 20};
        dis.itemData = reinterpret_cast<ULONG_PTR>(record.get());
        EXPECT_TRUE(DrawMenuItem(&dis));
        return surface.pixels();
    }
    // The item's image as the list draws it, at the place painting puts it.
    std::vector<COLORREF> expectedItemImage(int index)
    {
        surface.fill(kBackground);
        // A painted item leaves an empty clip behind.
        SelectClipRgn(surface.dc(), nullptr);
        ImageList_Draw(g_imageList, index, surface.dc(), 2, 2, ILD_TRANSPARENT);
        return imageArea();
    }
    std::vector<COLORREF> imageArea() const
    {
        std::vector<COLORREF> area;
        for (int y = 2; y < 18; ++y)
            for (int x = 2; x < 18; ++x)
                area.push_back(surface.pixel(x, y));
        return area;
    }

    static constexpr COLORREF kBackground = RGB(0x12, 0x34, 0x56);
    DibSurface surface{120, 24, kBackground};
};

TEST_F(ReadyImageCopies, DrawTheListsOwnPixelsOnAnyBackgroundAcrossGrowth)
{
    registerEveryKind();
    addIcons(70);
    const int count = imageCount();
    ASSERT_GT(count, 64) << "the copies must outgrow their first row and their first growth";
    ReadyImages ready;
    // The first image, then the last (the grid grows and must keep the
    // first), then every one, each compared twice: when its copy is made
    // and when the copy is drawn again.
    std::vector<int> order = {0, count - 1, 33};
    for (int i = 0; i < count; ++i)
        order.push_back(i);
    for (int i = count - 1; i >= 0; --i)
        order.push_back(i);
    for (int index : order)
        ASSERT_EQ(readyDraw(ready, index), listDraw(index)) << "image " << index;
    EXPECT_EQ(ready.readyCount(), count);
    EXPECT_FALSE(ready.draw(g_imageList, count, surface.dc(), 0, 0)) << "past the last image";
    EXPECT_FALSE(ready.draw(g_imageList, -1, surface.dc(), 0, 0));
}

TEST_F(ReadyImageCopies, LeaveTheTargetsColoursAsTheyWere)
{
    registerEveryKind();
    ReadyImages ready;
    SetTextColor(surface.dc(), RGB(1, 2, 3));
    SetBkColor(surface.dc(), RGB(4, 5, 6));
    ASSERT_TRUE(ready.draw(g_imageList, 0, surface.dc(), 0, 0));
    EXPECT_EQ(GetTextColor(surface.dc()), RGB(1, 2, 3));
    EXPECT_EQ(GetBkColor(surface.dc()), RGB(4, 5, 6));
}

TEST_F(ReadyImageCopies, PaintedItemsShowTheImagesRegisteredNow)
{
    addColourIcon();
    const std::vector<COLORREF> colours = expectedItemImage(0);
    paintedItem(0);
    EXPECT_EQ(imageArea(), colours);
    // The same index holds another image after an unload and a new
    // registration; in the grey look too, whose copies are kept apart.
    Nello_UnLoadToolbars();
    ASSERT_TRUE(Nello_AddIcon(fixtures, FIXTURE_ICON_PLAIN, 2));
    const std::vector<COLORREF> plain = expectedItemImage(0);
    ASSERT_NE(plain, colours) << "the two icons must differ for the check to mean anything";
    for (UINT state : {0u, UINT(ODS_SELECTED)}) {
        paintedItem(0, state);
        EXPECT_EQ(imageArea(), plain) << "state " << state;
    }
    Nello_SetLookMode(1);
    paintedItem(0);
    const std::vector<COLORREF> greyPlain = imageArea();
    Nello_UnLoadToolbars();
    addColourIcon();
    paintedItem(0);
    EXPECT_NE(imageArea(), greyPlain) << "the grey copy of the unloaded image was drawn";
    Nello_SetLookMode(0);
    paintedItem(0);
    EXPECT_EQ(imageArea(), colours);
}

TEST_F(ReadyImageCopies, KeepAFixedNumberOfGdiObjectsAndFreeThemWithTheImages)
{
    addIcons(150);
    for (int look : {0, 1}) {
        Nello_SetLookMode(look);
        for (int i = 0; i < imageCount(); ++i)
            paintedItem(i);
    }
    Nello_SetLookMode(0);
    const ReadyImageCounts kept = CountReadyImages();
    EXPECT_EQ(kept.images, 2 * imageCount()) << "every image has a colour and a grey copy";
    EXPECT_LE(kept.gdiObjects, 8) << "two DCs and two bitmaps for each look, whatever the count";
    Nello_UnLoadToolbars();
    const ReadyImageCounts left = CountReadyImages();
    EXPECT_EQ(left.images, 0);
    EXPECT_EQ(left.gdiObjects, 0);
}

}  // namespace
