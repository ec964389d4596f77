// Sizes that the looks define in pixels at 96 DPI, brought to the DPI of the
// window being drawn, and where that DPI is read from.
#pragma once

#include <windows.h>

// Sent by systems newer than the headers may describe.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

namespace dpi {

constexpr int kBase = 96;

// value (pixels at 96 DPI) at dpi. Rounded to the nearest pixel with halves
// away from zero, as MulDiv rounds and as the system rounds its own metrics
// (a 16-pixel small icon is 20, 24 and 32 pixels at 120, 144 and 192 DPI).
// At 96 DPI, or with a DPI that cannot be right (0 or less), the value is
// returned as it is.
constexpr int scale(int value, int dpi)
{
    if (dpi <= 0 || dpi == kBase)
        return value;
    const long long product = static_cast<long long>(value) * dpi;
    const long long half = kBase / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kBase : -((-product + half) / kBase));
}

// The DPI that applies to window: GetDpiForWindow where the system has it,
// else the LOGPIXELSX of dc (of the screen when dc is null).
int ofWindow(HWND window, HDC dc = nullptr);
// The system's DPI: GetDpiForSystem where the system has it, else the
// screen's LOGPIXELSX.
int ofSystem();
// A system metric at dpi: GetSystemMetricsForDpi where the system has it,
// else the metric at the system's DPI brought to dpi.
int systemMetric(int index, int dpi);

}  // namespace dpi
