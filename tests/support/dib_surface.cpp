#include "dib_surface.h"

namespace testing_support {

DibSurface::DibSurface(int width, int height, COLORREF fill_) : width_(width), height_(height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row 0 first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    dc_ = CreateCompatibleDC(nullptr);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    fill(fill_);
}

DibSurface::~DibSurface()
{
    SelectObject(dc_, oldBitmap_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
}

void DibSurface::fill(COLORREF colour)
{
    GdiFlush();
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            setPixel(x, y, colour);
}

COLORREF DibSurface::pixel(int x, int y) const
{
    GdiFlush();
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return CLR_INVALID;
    const std::uint32_t v = bits_[y * width_ + x];  // 0x00RRGGBB
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

void DibSurface::setPixel(int x, int y, COLORREF colour)
{
    bits_[y * width_ + x] = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

std::vector<COLORREF> DibSurface::pixels() const
{
    std::vector<COLORREF> all;
    all.reserve(static_cast<size_t>(width_) * height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            all.push_back(pixel(x, y));
    return all;
}

}  // namespace testing_support
