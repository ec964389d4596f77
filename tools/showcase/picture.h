// A captured picture: 32-bit pixels, top-down, that can be taken from a
// window, drawn onto a contact sheet and written as PNG.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace showcase {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, row after row from the top

    bool empty() const { return width <= 0 || height <= 0; }
    bool operator==(const Picture& other) const
    {
        return width == other.width && height == other.height && pixels == other.pixels;
    }
};

// Describes a 32-bit top-down bitmap of the given size, the form of Picture.
BITMAPINFO topDownInfo(int width, int height);

// What the window's client area shows now, read back from the surface the
// window system paints it on.
Picture captureWindow(HWND window);

// A rectangle of the screen, in screen coordinates.
Picture captureScreen(const RECT& area);

// Writes the picture as a PNG through the system's own image encoder.
bool savePng(const Picture& picture, const std::string& path);

}  // namespace showcase
