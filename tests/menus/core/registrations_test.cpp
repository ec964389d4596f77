// Start-up state, icon registrations, captions, sub-menu images, the look
// mode, unloading the images and teardown.
#include "core_fixture.h"
#include "dib_surface.h"
#include "nellolib.h"
#include "test_support.h"

#include <cstring>
#include <string>

using testing_support::isIcon;

namespace {

class StartUp : public MenuLibraryTest {};

TEST_F(StartUp, ReadsTheEightColoursFromTheSystem)
{
    const struct {
        const char* name;
        COLORREF value;
        int index;
    } colours[] = {
        {"menu", g_menuColor, COLOR_MENU},
        {"menu text", g_menuTextColor, COLOR_MENUTEXT},
        {"hot", g_hotColor, COLOR_HOTLIGHT},
        {"highlight", g_highlightColor, COLOR_BTNHIGHLIGHT},
        {"shadow", g_shadowColor, COLOR_BTNSHADOW},
        {"caption", g_captionColor, COLOR_ACTIVECAPTION},
        {"caption gradient", g_captionGradientColor, COLOR_GRADIENTACTIVECAPTION},
        {"caption text", g_captionTextColor, COLOR_CAPTIONTEXT},
    };
    for (const auto& c : colours)
        EXPECT_EQ(c.value, GetSysColor(c.index)) << c.name;
}

TEST_F(StartUp, MakesTheMenuFontsFromTheNonClientMetrics)
{
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = 340;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0));
    LOGFONTA menu = {}, bold = {}, caption = {};
    ASSERT_TRUE(GetObjectA(g_menuFont, sizeof menu, &menu));
    ASSERT_TRUE(GetObjectA(g_menuBoldFont, sizeof bold, &bold));
    ASSERT_TRUE(GetObjectA(g_captionFont, sizeof caption, &caption));
    EXPECT_STREQ(menu.lfFaceName, metrics.lfMenuFont.lfFaceName);
    EXPECT_EQ(menu.lfHeight, metrics.lfMenuFont.lfHeight);
    EXPECT_EQ(menu.lfWeight, metrics.lfMenuFont.lfWeight);
    EXPECT_STREQ(bold.lfFaceName, metrics.lfMenuFont.lfFaceName);
    EXPECT_EQ(bold.lfHeight, metrics.lfMenuFont.lfHeight);
    EXPECT_EQ(bold.lfWeight, 700);
    EXPECT_STREQ(caption.lfFaceName, metrics.lfCaptionFont.lfFaceName);
    EXPECT_EQ(caption.lfHeight, metrics.lfCaptionFont.lfHeight);
}

TEST_F(StartUp, MakesTheRegionBrushMetricsAndGradientFunction)
{
    RECT box;
    EXPECT_EQ(GetRgnBox(g_emptyRegion, &box), NULLREGION);
    EXPECT_EQ(g_captionButtonHeight, GetSystemMetrics(SM_CYSIZE));
    EXPECT_EQ(g_menuBarHeight, GetSystemMetrics(SM_CYMENU));
    EXPECT_NE(g_gradientFill, nullptr);
    EXPECT_EQ(g_lookMode, 0);
    EXPECT_EQ(g_imageList, nullptr);
    EXPECT_EQ(g_imageWidth, 0);

    // The halftone brush alternates text and background colour like a checkerboard.
    testing_support::DibSurface surface(8, 8);
    SetTextColor(surface.dc(), RGB(255, 0, 0));
    SetBkColor(surface.dc(), RGB(0, 0, 255));
    RECT all = {0, 0, 8, 8};
    FillRect(surface.dc(), &all, g_halftoneBrush);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_NE(surface.pixel(x, y), surface.pixel((x + 1) % 8, y)) << x << "," << y;
    EXPECT_NE(surface.pixel(0, 0), surface.pixel(0, 1));
}

class IconRegistration : public MenuLibraryTest {};

TEST_F(IconRegistration, ResourceIconFixesSixteenBySixteenAndKeepsItsColours)
{
    ASSERT_TRUE(Nello_AddIcon(fixtures, FIXTURE_ICON_COLOURS, 7));
    EXPECT_EQ(g_imageWidth, 16);
    EXPECT_EQ(g_imageHeight, 16);
    EXPECT_EQ(imageCount(), 1);
    EXPECT_EQ(FindCommandImage(7), 0);
    const std::vector<COLORREF> pixels = drawnImage(0);
    const struct {
        int x, y;
        COLORREF colour;
    } probes[] = {{0, 0, RGB(255, 0, 0)},  {5, 4, RGB(0, 255, 0)},   {3, 7, RGB(0, 0, 255)},
                  {9, 10, RGB(255, 255, 255)}, {14, 13, RGB(0, 0, 0)}, {15, 3, kBackdrop},
                  {4, 15, kBackdrop}};
    for (const auto& p : probes)
        EXPECT_EQ(pixels[p.y * 16 + p.x], p.colour) << p.x << "," << p.y;
}

TEST_F(IconRegistration, ResourceIconDuplicatesAndFailures)
{
    ASSERT_TRUE(Nello_AddIcon(fixtures, FIXTURE_ICON_PLAIN, 7));
    EXPECT_FALSE(Nello_AddIcon(fixtures, FIXTURE_ICON_PLAIN, 7));
    EXPECT_EQ(imageCount(), 1);
    EXPECT_TRUE(Nello_AddIcon(fixtures, FIXTURE_ICON_PLAIN, 8)) << "another command is another image";
    EXPECT_EQ(imageCount(), 2);
    EXPECT_EQ(imagesOf({7, 8}), (std::vector<int>{0, 1}));
    EXPECT_FALSE(Nello_AddIcon(fixtures, 4242, 9));
    EXPECT_EQ(imageCount(), 2);
    EXPECT_EQ(FindCommandImage(9), -1);
    EXPECT_EQ(g_iconResources.size(), 2);
}

TEST_F(IconRegistration, CommandKeepsTheFirstImageButTheSecondStillTakesAPlace)
{
    ASSERT_TRUE(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_4BIT));
    ASSERT_TRUE(Nello_AddIcon(fixtures, FIXTURE_ICON_PLAIN, 100));
    EXPECT_EQ(imageCount(), 3);
    EXPECT_EQ(FindCommandImage(100), 0);
}

HICON loadPlainIcon(HINSTANCE module)
{
    return static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(FIXTURE_ICON_PLAIN), IMAGE_ICON, 16, 16, 0));
}

TEST_F(IconRegistration, HandleIsTakenOverOnSuccessAndLeftWithTheCallerOnRefusal)
{
    HICON handed = loadPlainIcon(fixtures);
    ASSERT_TRUE(isIcon(handed));
    ASSERT_TRUE(Nello_AddIcon(handed, 5));
    EXPECT_FALSE(isIcon(handed)) << "the library destroys the icon it was handed";
    ASSERT_EQ(g_iconHandles.size(), 1);
    HICON copy = g_iconHandles.get<IconHandleEntry>(0)->icon;
    EXPECT_TRUE(isIcon(copy));
    EXPECT_EQ(imageCount(), 1);
    EXPECT_EQ(FindCommandImage(5), 0);

    // The registry's own copy for the same command is a duplicate: refused,
    // and that handle is not destroyed by the refusal.
    EXPECT_FALSE(Nello_AddIcon(copy, 5));
    EXPECT_TRUE(isIcon(copy));
    EXPECT_EQ(imageCount(), 1);
    EXPECT_FALSE(Nello_AddIcon(static_cast<HICON>(nullptr), 6));
    EXPECT_EQ(imageCount(), 1);
}

TEST_F(IconRegistration, UnloadingDropsEverythingAndDestroysTheCopies)
{
    ASSERT_TRUE(Nello_LoadToolbar(fixtures, FIXTURE_TOOLBAR_4BIT));
    ASSERT_TRUE(Nello_AddIcon(fixtures, FIXTURE_ICON_PLAIN, 7));
    ASSERT_TRUE(Nello_AddIcon(loadPlainIcon(fixtures), 8));
    HICON copy = g_iconHandles.get<IconHandleEntry>(0)->icon;
    HMENU menu = CreatePopupMenu();
    ASSERT_TRUE(Nello_SetCaption(menu, "kept"));
    Nello_SetLookMode(1);

    Nello_UnLoadToolbars();
    EXPECT_EQ(g_imageList, nullptr);
    EXPECT_EQ(g_imageWidth, 0);
    EXPECT_EQ(g_imageHeight, 0);
    EXPECT_TRUE(g_toolbars.empty());
    EXPECT_TRUE(g_iconResources.empty());
    EXPECT_TRUE(g_iconHandles.empty());
    EXPECT_TRUE(g_commandImages.empty());
    EXPECT_FALSE(isIcon(copy));
    EXPECT_EQ(g_captions.size(), 1) << "captions are not images";
    EXPECT_EQ(g_lookMode, 1);

    Nello_UnLoadToolbars();  // on an empty library: nothing to do
    EXPECT_EQ(g_imageWidth, 0);
    DestroyMenu(menu);
}

TEST_F(IconRegistration, TeardownDestroysTheCopiesAndStartUpBeginsEmpty)
{
    ASSERT_TRUE(Nello_AddIcon(loadPlainIcon(fixtures), 8));
    HMENU menu = CreatePopupMenu();
    ASSERT_TRUE(Nello_SetCaption(menu, "caption"));
    ASSERT_TRUE(Nello_SetSubMenuButtonId(menu, 8));
    Nello_SetLookMode(1);
    HICON copy = g_iconHandles.get<IconHandleEntry>(0)->icon;

    ShutdownMenuLibrary();
    EXPECT_FALSE(isIcon(copy));
    InitMenuLibrary();
    EXPECT_TRUE(g_iconHandles.empty());
    EXPECT_TRUE(g_captions.empty());
    EXPECT_TRUE(g_subMenuButtons.empty());
    EXPECT_TRUE(g_commandImages.empty());
    EXPECT_EQ(g_imageWidth, 0);
    EXPECT_EQ(g_lookMode, 0);
    EXPECT_TRUE(Nello_SetCaption(menu, "caption"));
    DestroyMenu(menu);
}

class Captions : public MenuLibraryTest {
protected:
    ~Captions() override { DestroyMenu(menu); }
    HMENU menu = CreatePopupMenu();
    static const MenuCaption* captionAt(int i) { return g_captions.get<MenuCaption>(i); }
};

TEST_F(Captions, SetRefuseASecondRemoveAndRefuseRemovingWhatIsNotThere)
{
    ASSERT_TRUE(Nello_SetCaption(menu, "First"));
    EXPECT_FALSE(Nello_SetCaption(menu, "Second"));
    ASSERT_EQ(g_captions.size(), 1);
    EXPECT_STREQ(captionAt(0)->text, "First");
    EXPECT_FALSE(captionAt(0)->inserted);
    EXPECT_EQ(captionAt(0)->menu, menu);
    EXPECT_TRUE(Nello_SetCaption(menu, nullptr));
    EXPECT_TRUE(g_captions.empty());
    EXPECT_FALSE(Nello_SetCaption(menu, nullptr));
}

TEST_F(Captions, TextIsCopiedWholeEvenPastTwoHundredFiftyFiveCharacters)
{
    std::string text(300, 'c');
    ASSERT_TRUE(Nello_SetCaption(menu, text.data()));
    text[0] = 'X';
    EXPECT_EQ(std::string(captionAt(0)->text), std::string(300, 'c'));
}

class SubMenuButtons : public MenuLibraryTest {};

TEST_F(SubMenuButtons, SetRefuseASecondRemoveAndRefuseRemovingWhatIsNotThere)
{
    HMENU menu = CreatePopupMenu();
    EXPECT_FALSE(Nello_SetSubMenuButtonId(menu, 0));
    ASSERT_TRUE(Nello_SetSubMenuButtonId(menu, 100));
    EXPECT_FALSE(Nello_SetSubMenuButtonId(menu, 101));
    ASSERT_EQ(g_subMenuButtons.size(), 1);
    EXPECT_EQ(g_subMenuButtons.get<SubMenuButton>(0)->commandId, 100u);
    EXPECT_TRUE(Nello_SetSubMenuButtonId(menu, 0));
    EXPECT_TRUE(g_subMenuButtons.empty());
    EXPECT_FALSE(Nello_SetSubMenuButtonId(menu, 0));
    DestroyMenu(menu);
}

class LookMode : public MenuLibraryTest {};

TEST_F(LookMode, OnlyZeroAndOneAreTaken)
{
    const struct {
        int set;
        int expected;
    } steps[] = {{1, 1}, {2, 1}, {-1, 1}, {0, 0}, {7, 0}, {1, 1}};
    for (const auto& step : steps) {
        Nello_SetLookMode(step.set);
        EXPECT_EQ(g_lookMode, step.expected) << "after " << step.set;
    }
}

class CommandMap : public MenuLibraryTest {};

TEST_F(CommandMap, FirstBindingWinsAndUnknownCommandsHaveNone)
{
    EXPECT_EQ(FindCommandImage(1), -1);
    MapCommandImage(1, 4);
    MapCommandImage(1, 9);
    MapCommandImage(2, 0);
    EXPECT_EQ(imagesOf({1, 2, 3}), (std::vector<int>{4, 0, -1}));
}

}  // namespace
