#include "core_fixture.h"

#include "dib_surface.h"

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

std::vector<unsigned char> resourceBytes(HINSTANCE module, int id, LPCSTR type)
{
    const FixtureResource r = fixtureResource(module, id, type);
    const auto* p = static_cast<const unsigned char*>(r.data);
    return p ? std::vector<unsigned char>(p, p + r.size) : std::vector<unsigned char>();
}

void put16(std::vector<unsigned char>& bytes, std::size_t at, std::uint16_t value)
{
    bytes.at(at) = static_cast<unsigned char>(value);
    bytes.at(at + 1) = static_cast<unsigned char>(value >> 8);
}

void put32(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.at(at + i) = static_cast<unsigned char>(value >> (8 * i));
}

bool mutateResource(std::vector<unsigned char>& bytes, bool isBitmap, std::mt19937& random)
{
    static const std::uint32_t edges[] = {0, 1, 2, 8, 12, 16, 24, 32, 40, 124, 255, 0x7FFF, 0xFFFF, 0x10000,
                                          0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    static const std::size_t headerFields[] = {0, 4, 8, 12, 14, 16, 32};
    bool onlyCut = true;
    for (int mutations = 1 + random() % 3; mutations > 0; --mutations) {
        switch (random() % 4) {
        case 0:
            if (!bytes.empty()) {
                bytes[random() % bytes.size()] = static_cast<unsigned char>(random());
                onlyCut = false;
            }
            break;
        case 1:
            if (isBitmap) {
                const std::size_t at = headerFields[random() % 7];
                if (at + 4 <= bytes.size()) {
                    put32(bytes, at, edges[random() % 17]);
                    onlyCut = false;
                }
            } else if (bytes.size() >= 8) {
                put16(bytes, 2 * (random() % 4), static_cast<std::uint16_t>(edges[random() % 17]));
                onlyCut = false;
            }
            break;
        default:
            bytes.resize(random() % (bytes.size() + 1));
            break;
        }
    }
    return onlyCut;
}
