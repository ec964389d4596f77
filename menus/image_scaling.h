// Toolbar images brought to another size, as pure arithmetic over pixels.
#pragma once

#include "toolbar_resource.h"

#include <cstdint>

// Scales each of `cells` images of a strip (cellWidth x cellHeight each, side
// by side from the left) to width x height, every image on its own so that
// no image bleeds into its neighbour. The filter is bilinear over the opaque
// pixels only: pixels of the key colour are transparent and never blend into
// the image, so no fringe of the key colour appears; an output pixel is
// transparent (the key colour) when less than half of what it covers is
// opaque. An opaque result that happens to equal the key colour is moved one
// step in blue so that it stays opaque.
DecodedBitmap ScaleImageCells(const DecodedBitmap& strip, int cellWidth, int cellHeight, int cells, int width,
                              int height, std::uint32_t key);
