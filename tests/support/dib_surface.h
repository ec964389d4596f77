// A 32-bit top-down DIB section with its own memory DC: paint into it, then
// read exact pixels back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace testing_support {

class DibSurface {
public:
    DibSurface(int width, int height, COLORREF fill = RGB(0x12, 0x34, 0x56));
    ~DibSurface();
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void fill(COLORREF colour);
    // The pixel as a COLORREF (0x00BBGGRR).
    COLORREF pixel(int x, int y) const;
    void setPixel(int x, int y, COLORREF colour);
    // Every pixel, row after row from the top.
    std::vector<COLORREF> pixels() const;

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

}  // namespace testing_support
