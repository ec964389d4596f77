// What the DPI tests compare with: the DPI this run was started for, and
// sizes at 96 DPI brought to the screen's DPI with the system's own MulDiv.
#pragma once

#include <windows.h>

extern int g_requestedDpi;

inline int screenDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// pixels at 96 DPI, at dpi (the screen's by default).
inline int px(int pixels, int dpi = screenDpi())
{
    return MulDiv(pixels, dpi, 96);
}
