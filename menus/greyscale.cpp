// Greyscale conversion of 24-bit pixel rows.
#include "greyscale.h"

void GreyscaleBgrRows(std::uint8_t* rows, int width, int height, std::size_t stride)
{
    for (int y = 0; y < height; ++y) {
        std::uint8_t* p = rows + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < width; ++x, p += 3) {
            const std::uint8_t grey = GreyLevel(p[2], p[1], p[0]);
            p[0] = p[1] = p[2] = grey;
        }
    }
}
