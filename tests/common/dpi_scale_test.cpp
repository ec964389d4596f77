// Scaling of 96-DPI sizes: the rounding rule is MulDiv's, which is how the
// system brings its own metrics to a DPI.
#include "dpi_scale.h"

#include <gtest/gtest.h>

namespace {

TEST(DpiScale, LookSizesAtTheCommonDpis)
{
    const struct {
        int value, dpi, expected;
    } cases[] = {
        {17, 96, 17},   {17, 120, 21},  {17, 144, 26},  {17, 192, 34},   // arrow strip: 21.25, 25.5, 34
        {15, 144, 23},  {5, 120, 6},    {5, 144, 8},    {20, 120, 25},   // 22.5 rounds up; 6.25 down; 7.5 up
        {16, 120, 20},  {16, 144, 24},  {16, 192, 32},  {1, 144, 2},     // small icons; a half rounds away
        {-1, 144, -2},  {-1, 120, -1},  {0, 192, 0},    {13, 72, 10},    // negative offsets mirror positive ones
        {17, 0, 17},    {17, -96, 17},                                   // no usable DPI: unchanged
    };
    for (const auto& c : cases)
        EXPECT_EQ(dpi::scale(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
}

TEST(DpiScale, RoundsExactlyAsMulDiv)
{
    for (int dpi : {72, 96, 108, 120, 144, 168, 192, 240, 288})
        for (int value = -60; value <= 60; ++value)
            ASSERT_EQ(dpi::scale(value, dpi), MulDiv(value, dpi, 96)) << value << " at " << dpi;
}

TEST(DpiScale, LargeValuesDoNotOverflow)
{
    EXPECT_EQ(dpi::scale(30000000, 192), 60000000);
    EXPECT_EQ(dpi::scale(-30000000, 192), -60000000);
}

}  // namespace
