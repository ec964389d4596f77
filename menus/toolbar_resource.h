// Bounded readers of the two resources behind a toolbar: the button list
// (resource type 241) and its bitmap. Both take the resource's bytes and
// length and never read outside them, so malformed modules are refused
// instead of misread.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// Button size and the command identifier of each entry (0 for a separator).
struct ToolbarLayout {
    int buttonWidth = 0;
    int buttonHeight = 0;
    std::vector<std::uint16_t> commandIds;
};

// False when the bytes do not hold a complete toolbar resource with a usable
// button size.
bool ParseToolbarResource(const void* bytes, std::size_t length, ToolbarLayout& layout);

// A colour as stored in a DIB (0x00RRGGBB) and the colour that replaces it.
struct ColourSwap {
    std::uint32_t from;
    std::uint32_t to;
};

// The four standard toolbar colours (black, dark grey, light grey, white),
// each replaced by the system colour that plays its part now.
struct StandardColours {
    ColourSwap swaps[4];
};
StandardColours CurrentStandardColours();
// COLORREF (0x00BBGGRR) to the DIB order 0x00RRGGBB.
std::uint32_t ToDibColour(COLORREF colour);

// Pixels of a decoded bitmap, rows top to bottom, each 0x00RRGGBB.
struct DecodedBitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// Decodes a resource DIB (header, optional masks, colour table, rows) of 1,
// 4, 8, 24 or 32 bits per pixel, with the standard colours replaced in the
// colour table or, for true colour, in the pixels. 32-bit pixels whose
// alpha is 0 in a bitmap that uses alpha become the light-grey slot's
// replacement, so they end up transparent like the toolbar's background.
// False, with nothing decoded, when the bytes do not hold such a bitmap.
bool DecodeToolbarBitmap(const void* bytes, std::size_t length, const StandardColours& colours,
                         DecodedBitmap& bitmap);
