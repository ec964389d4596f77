// Toolbar images brought to another size: colours kept, transparency kept
// without a fringe of the key colour, no bleeding between images, smooth.
#include "image_scaling.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

constexpr std::uint32_t kKey = 0xC0C0C0;

// cells images of cellWidth x cellHeight, side by side, each pixel from paint(cell, x, y).
template <class Paint>
DecodedBitmap strip(int cells, int cellWidth, int cellHeight, Paint paint)
{
    DecodedBitmap b;
    b.width = cells * cellWidth;
    b.height = cellHeight;
    for (int y = 0; y < cellHeight; ++y)
        for (int x = 0; x < b.width; ++x)
            b.pixels.push_back(paint(x / cellWidth, x % cellWidth, y));
    return b;
}

std::uint32_t at(const DecodedBitmap& b, int x, int y)
{
    return b.pixels[static_cast<std::size_t>(y) * b.width + x];
}

TEST(ImageScaling, EachImageKeepsItsOwnColourAtEverySize)
{
    const std::uint32_t colours[] = {0x800000, 0x0000FF, 0x123456};
    const DecodedBitmap source = strip(3, 16, 16, [&](int cell, int, int) { return colours[cell]; });
    for (int size : {20, 24, 32, 12}) {
        SCOPED_TRACE(size);
        const DecodedBitmap scaled = ScaleImageCells(source, 16, 16, 3, size, size, kKey);
        ASSERT_EQ(scaled.width, 3 * size);
        ASSERT_EQ(scaled.height, size);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < scaled.width; ++x)
                ASSERT_EQ(at(scaled, x, y), colours[x / size]) << x << ", " << y;
    }
}

TEST(ImageScaling, TransparentAreasStayTransparentWithoutAFringe)
{
    // Left half transparent, right half green; scaled by 1.25, 1.5 and 2.
    const DecodedBitmap source = strip(1, 16, 16, [](int, int x, int) { return x < 8 ? kKey : 0x00FF00u; });
    for (int size : {20, 24, 32}) {
        SCOPED_TRACE(size);
        const DecodedBitmap scaled = ScaleImageCells(source, 16, 16, 1, size, size, kKey);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                // Every pixel is either transparent or exactly the image's colour.
                const std::uint32_t p = at(scaled, x, y);
                ASSERT_TRUE(p == kKey || p == 0x00FF00u) << std::hex << p;
                // The edge stays where it was, in proportion.
                ASSERT_EQ(p == kKey, x < size / 2) << x << ", " << y;
            }
    }
}

TEST(ImageScaling, EnlargingIsSmoothNotBlocky)
{
    const DecodedBitmap source = strip(1, 2, 1, [](int, int x, int) { return x == 0 ? 0x000000u : 0xFFFFFFu; });
    const DecodedBitmap scaled = ScaleImageCells(source, 2, 1, 1, 8, 1, kKey);
    std::set<std::uint32_t> levels(scaled.pixels.begin(), scaled.pixels.end());
    EXPECT_GT(levels.size(), 2u);  // shades between black and white
    EXPECT_EQ(at(scaled, 0, 0), 0x000000u);
    EXPECT_EQ(at(scaled, 7, 0), 0xFFFFFFu);
    EXPECT_TRUE(std::is_sorted(scaled.pixels.begin(), scaled.pixels.end()));
}

TEST(ImageScaling, ABlendThatLandsOnTheKeyColourStaysOpaque)
{
    const DecodedBitmap source = strip(1, 2, 1, [](int, int x, int) { return x == 0 ? 0xBFBFBFu : 0xC1C1C1u; });
    const DecodedBitmap scaled = ScaleImageCells(source, 2, 1, 1, 3, 1, kKey);
    for (std::uint32_t p : scaled.pixels)
        EXPECT_NE(p, kKey);
    EXPECT_EQ(at(scaled, 1, 0), kKey ^ 1);
}

TEST(ImageScaling, RefusesCellsTheStripDoesNotHold)
{
    const DecodedBitmap source = strip(2, 16, 16, [](int, int, int) { return 0u; });
    EXPECT_TRUE(ScaleImageCells(source, 16, 16, 3, 24, 24, kKey).pixels.empty());
    EXPECT_TRUE(ScaleImageCells(source, 16, 17, 2, 24, 24, kKey).pixels.empty());
    EXPECT_TRUE(ScaleImageCells(source, 16, 16, 2, 0, 24, kKey).pixels.empty());
    EXPECT_FALSE(ScaleImageCells(source, 16, 16, 2, 24, 24, kKey).pixels.empty());
}

}  // namespace
