// Toolbar resources read as untrusted bytes: every offset is checked against
// the resource's length before it is read.
#include "toolbar_resource.h"

#include <cstring>
#include <utility>

namespace {

// Button images larger than this, or bitmaps with more pixels, are not
// toolbars; refusing them keeps absurd sizes from reaching GDI.
constexpr int kMaxButtonSide = 256;
constexpr int kMaxBitmapSide = 65535;
constexpr std::uint64_t kMaxBitmapPixels = std::uint64_t(1) << 24;

class Reader {
public:
    Reader(const void* bytes, std::size_t length)
        : bytes_(static_cast<const unsigned char*>(bytes)), length_(bytes ? length : 0) {}

    bool has(std::uint64_t offset, std::uint64_t size) const
    {
        return offset <= length_ && size <= length_ - offset;
    }
    std::uint16_t u16(std::size_t offset) const
    {
        return static_cast<std::uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
    }
    std::uint32_t u32(std::size_t offset) const
    {
        return std::uint32_t(bytes_[offset]) | std::uint32_t(bytes_[offset + 1]) << 8 |
               std::uint32_t(bytes_[offset + 2]) << 16 | std::uint32_t(bytes_[offset + 3]) << 24;
    }
    std::int32_t i32(std::size_t offset) const
    {
        std::uint32_t v = u32(offset);
        std::int32_t s;
        std::memcpy(&s, &v, sizeof s);
        return s;
    }
    const unsigned char* at(std::size_t offset) const { return bytes_ + offset; }

private:
    const unsigned char* bytes_;
    std::size_t length_;
};

struct DibHeader {
    std::uint32_t size = 0;
    int width = 0;
    int height = 0;  // always positive here
    bool topDown = false;
    int bitCount = 0;
    std::uint64_t tableOffset = 0;
    std::uint64_t tableEntries = 0;
    std::uint64_t pixelOffset = 0;
    std::uint64_t rowBytes = 0;
};

bool isKnownHeaderSize(std::uint32_t size)
{
    // BITMAPINFOHEADER and its V2, V3, V4 and V5 extensions.
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool hasStandardMasks(const Reader& r, std::size_t at)
{
    return r.u32(at) == 0x00FF0000 && r.u32(at + 4) == 0x0000FF00 && r.u32(at + 8) == 0x000000FF;
}

bool readDibHeader(const Reader& r, DibHeader& h)
{
    if (!r.has(0, 4))
        return false;
    h.size = r.u32(0);
    if (!isKnownHeaderSize(h.size) || !r.has(0, h.size))
        return false;
    const std::int32_t width = r.i32(4);
    const std::int32_t height = r.i32(8);
    h.bitCount = r.u16(14);
    const std::uint32_t compression = r.u32(16);
    const std::uint32_t coloursUsed = r.u32(32);
    if (width <= 0 || width > kMaxBitmapSide || height == 0 || height < -kMaxBitmapSide ||
        height > kMaxBitmapSide)
        return false;
    h.width = width;
    h.topDown = height < 0;
    h.height = h.topDown ? -height : height;
    if (std::uint64_t(h.width) * std::uint64_t(h.height) > kMaxBitmapPixels)
        return false;
    if (h.bitCount != 1 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 24 && h.bitCount != 32)
        return false;

    std::uint64_t afterHeader = h.size;
    if (compression == BI_BITFIELDS) {
        // Only the plain 8-8-8 layout of 32-bit pixels; the masks follow a
        // 40-byte header and are inside every larger one.
        if (h.bitCount != 32)
            return false;
        if (h.size == 40) {
            if (!r.has(40, 12))
                return false;
            afterHeader += 12;
        }
        if (!hasStandardMasks(r, 40))
            return false;
    } else if (compression != BI_RGB) {
        return false;
    }

    if (h.bitCount <= 8) {
        const std::uint64_t full = std::uint64_t(1) << h.bitCount;
        if (coloursUsed > full)
            return false;
        h.tableEntries = coloursUsed ? coloursUsed : full;
    } else {
        h.tableEntries = coloursUsed;  // an optional palette, skipped
    }
    h.tableOffset = afterHeader;
    h.pixelOffset = afterHeader + 4 * h.tableEntries;
    h.rowBytes = (std::uint64_t(h.width) * h.bitCount + 31) / 32 * 4;
    return r.has(h.pixelOffset, h.rowBytes * h.height);
}

std::uint32_t swapColour(const StandardColours& colours, std::uint32_t value)
{
    for (const ColourSwap& swap : colours.swaps)
        if (swap.from == value)
            return swap.to;
    return value;
}

std::uint32_t indexedPixel(const unsigned char* row, int x, int bitCount)
{
    const int bit = x * bitCount;
    const unsigned byte = row[bit / 8];
    const int shift = 8 - bitCount - bit % 8;
    return (byte >> shift) & ((1u << bitCount) - 1);
}

bool usesAlpha(const Reader& r, const DibHeader& h)
{
    for (int y = 0; y < h.height; ++y) {
        const unsigned char* row = r.at(static_cast<std::size_t>(h.pixelOffset + h.rowBytes * y));
        for (int x = 0; x < h.width; ++x)
            if (row[4 * x + 3] != 0)
                return true;
    }
    return false;
}

}  // namespace

bool ParseToolbarResource(const void* bytes, std::size_t length, ToolbarLayout& layout)
{
    const Reader r(bytes, length);
    if (!r.has(0, 8))
        return false;
    const int width = r.u16(2);
    const int height = r.u16(4);
    const std::size_t count = r.u16(6);
    if (width <= 0 || height <= 0 || width > kMaxButtonSide || height > kMaxButtonSide)
        return false;
    if (!r.has(8, 2 * std::uint64_t(count)))
        return false;
    layout.buttonWidth = width;
    layout.buttonHeight = height;
    layout.commandIds.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        layout.commandIds[i] = r.u16(8 + 2 * i);
    return true;
}

std::uint32_t ToDibColour(COLORREF colour)
{
    return std::uint32_t(GetRValue(colour)) << 16 | std::uint32_t(GetGValue(colour)) << 8 | GetBValue(colour);
}

StandardColours CurrentStandardColours()
{
    return {{{0x000000, ToDibColour(GetSysColor(COLOR_BTNTEXT))},
             {0x808080, ToDibColour(GetSysColor(COLOR_BTNSHADOW))},
             {0xC0C0C0, ToDibColour(GetSysColor(COLOR_BTNFACE))},
             {0xFFFFFF, ToDibColour(GetSysColor(COLOR_BTNHIGHLIGHT))}}};
}

bool DecodeToolbarBitmap(const void* bytes, std::size_t length, const StandardColours& colours,
                         DecodedBitmap& bitmap)
{
    const Reader r(bytes, length);
    DibHeader h;
    if (!readDibHeader(r, h))
        return false;

    std::vector<std::uint32_t> table(static_cast<std::size_t>(h.bitCount <= 8 ? h.tableEntries : 0));
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = swapColour(colours, r.u32(static_cast<std::size_t>(h.tableOffset + 4 * i))) & 0xFFFFFF;
    // An index past a short table is not a colour of the bitmap: show it as black.
    const std::uint32_t outsideTable = swapColour(colours, 0);
    const bool alpha = h.bitCount == 32 && usesAlpha(r, h);
    const std::uint32_t transparent = swapColour(colours, 0xC0C0C0);

    std::vector<std::uint32_t> pixels(std::size_t(h.width) * h.height);
    for (int y = 0; y < h.height; ++y) {
        const int sourceRow = h.topDown ? y : h.height - 1 - y;
        const unsigned char* row = r.at(static_cast<std::size_t>(h.pixelOffset + h.rowBytes * sourceRow));
        std::uint32_t* out = &pixels[std::size_t(y) * h.width];
        for (int x = 0; x < h.width; ++x) {
            if (h.bitCount <= 8) {
                const std::uint32_t index = indexedPixel(row, x, h.bitCount);
                out[x] = index < table.size() ? table[index] : outsideTable;
            } else {
                const unsigned char* p = row + x * (h.bitCount / 8);
                if (alpha && p[3] == 0) {
                    out[x] = transparent;
                    continue;
                }
                out[x] = swapColour(colours, std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0]);
            }
        }
    }
    bitmap.width = h.width;
    bitmap.height = h.height;
    bitmap.pixels = std::move(pixels);
    return true;
}
