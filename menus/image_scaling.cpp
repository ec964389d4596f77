// Bilinear scaling of toolbar images with a transparent key colour.
#include "image_scaling.h"

#include <algorithm>
#include <cmath>

namespace {

// Where the centre of output pixel `at` falls in the source, and the two
// source pixels around it with the weight of the second.
struct Tap {
    int first;
    int second;
    double weight;
};

Tap tapOf(int at, int sourceSize, int targetSize)
{
    double position = (at + 0.5) * sourceSize / targetSize - 0.5;
    position = std::clamp(position, 0.0, static_cast<double>(sourceSize - 1));
    const int first = static_cast<int>(std::floor(position));
    const int second = std::min(first + 1, sourceSize - 1);
    return {first, second, position - first};
}

int channel(std::uint32_t pixel, int shift)
{
    return static_cast<int>((pixel >> shift) & 0xFF);
}

}  // namespace

DecodedBitmap ScaleImageCells(const DecodedBitmap& strip, int cellWidth, int cellHeight, int cells, int width,
                              int height, std::uint32_t key)
{
    DecodedBitmap out;
    if (cellWidth <= 0 || cellHeight <= 0 || cells <= 0 || width <= 0 || height <= 0 ||
        cellWidth * cells > strip.width || cellHeight > strip.height)
        return out;
    key &= 0xFFFFFF;
    out.width = width * cells;
    out.height = height;
    out.pixels.assign(static_cast<std::size_t>(out.width) * out.height, key);
    const auto source = [&](int cell, int x, int y) {
        return strip.pixels[static_cast<std::size_t>(y) * strip.width + cell * cellWidth + x] & 0xFFFFFF;
    };
    for (int y = 0; y < height; ++y) {
        const Tap row = tapOf(y, cellHeight, height);
        for (int cell = 0; cell < cells; ++cell) {
            for (int x = 0; x < width; ++x) {
                const Tap column = tapOf(x, cellWidth, width);
                const std::uint32_t taps[4] = {source(cell, column.first, row.first),
                                               source(cell, column.second, row.first),
                                               source(cell, column.first, row.second),
                                               source(cell, column.second, row.second)};
                const double weights[4] = {(1 - column.weight) * (1 - row.weight), column.weight * (1 - row.weight),
                                           (1 - column.weight) * row.weight, column.weight * row.weight};
                double opaque = 0, red = 0, green = 0, blue = 0;
                for (int i = 0; i < 4; ++i) {
                    if (taps[i] == key)
                        continue;
                    opaque += weights[i];
                    red += weights[i] * channel(taps[i], 16);
                    green += weights[i] * channel(taps[i], 8);
                    blue += weights[i] * channel(taps[i], 0);
                }
                if (opaque < 0.5)
                    continue;  // stays the key colour
                std::uint32_t pixel = static_cast<std::uint32_t>(std::lround(red / opaque)) << 16 |
                                      static_cast<std::uint32_t>(std::lround(green / opaque)) << 8 |
                                      static_cast<std::uint32_t>(std::lround(blue / opaque));
                if (pixel == key)
                    pixel ^= 1;
                out.pixels[static_cast<std::size_t>(y) * out.width + cell * width + x] = pixel;
            }
        }
    }
    return out;
}
