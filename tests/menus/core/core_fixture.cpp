#include "core_fixture.h"

#include "dib_surface.h"

void MenuLibraryTest::SetUp()
{
    InitMenuLibrary();
    fixtures = LoadLibraryA(TAVRO_FIXTURES_DLL);
    ASSERT_NE(fixtures, nullptr);
}

void MenuLibraryTest::TearDown()
{
    ShutdownMenuLibrary();
    FreeLibrary(fixtures);
}

int MenuLibraryTest::imageCount()
{
    return g_imageList ? ImageList_GetImageCount(g_imageList) : 0;
}

std::vector<int> MenuLibraryTest::imagesOf(const std::vector<unsigned int>& commands)
{
    std::vector<int> images;
    for (unsigned int command : commands)
        images.push_back(FindCommandImage(command));
    return images;
}

std::vector<COLORREF> drawnImage(int index)
{
    testing_support::DibSurface surface(g_imageWidth, g_imageHeight, kBackdrop);
    ImageList_Draw(g_imageList, index, surface.dc(), 0, 0, ILD_TRANSPARENT);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < g_imageHeight; ++y)
        for (int x = 0; x < g_imageWidth; ++x)
            pixels.push_back(surface.pixel(x, y));
    return pixels;
}

COLORREF expectedButtonPixel(Pattern pattern, int button, int x, int y)
{
    static const COLORREF markers[] = {RGB(0x80, 0, 0), RGB(0, 0x80, 0), RGB(0, 0, 0x80)};
    COLORREF colour;
    if (pattern == Pattern::Mono)
        colour = GetSysColor(y < 8 ? COLOR_BTNTEXT : COLOR_BTNHIGHLIGHT);
    else if (y < 4)
        colour = GetSysColor(COLOR_BTNFACE);
    else if (y < 8)
        colour = GetSysColor(COLOR_BTNTEXT);
    else if (y < 12)
        colour = GetSysColor(COLOR_BTNSHADOW);
    else
        colour = x < 8 ? GetSysColor(COLOR_BTNHIGHLIGHT) : markers[button % 3];
    return colour == GetSysColor(COLOR_BTNFACE) ? kBackdrop : colour;
}

FixtureResource fixtureResource(HINSTANCE module, int id, LPCSTR type)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found)
        return {nullptr, 0};
    return {LockResource(LoadResource(module, found)), SizeofResource(module, found)};
}
