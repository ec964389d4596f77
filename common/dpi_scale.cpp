// DPI look-ups. The per-DPI functions are only on newer systems, so they are
// found by name and the libraries still load where they are missing.
#include "dpi_scale.h"

#include "gdi_owners.h"

namespace dpi {

namespace {

using DpiForWindowFn = UINT(WINAPI*)(HWND);
using DpiForSystemFn = UINT(WINAPI*)();
using MetricForDpiFn = int(WINAPI*)(int, UINT);

FARPROC user32Function(const char* name)
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? GetProcAddress(user32, name) : nullptr;
}

int logPixelsOf(HDC dc)
{
    if (dc)
        return GetDeviceCaps(dc, LOGPIXELSX);
    const owners::WindowDc screen(nullptr);
    return screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : kBase;
}

int sane(int value)
{
    return value > 0 ? value : kBase;
}

}  // namespace

int ofWindow(HWND window, HDC dc)
{
    static const auto forWindow = reinterpret_cast<DpiForWindowFn>(user32Function("GetDpiForWindow"));
    if (forWindow && window)
        if (const UINT value = forWindow(window))
            return static_cast<int>(value);
    return sane(logPixelsOf(dc));
}

int ofSystem()
{
    static const auto forSystem = reinterpret_cast<DpiForSystemFn>(user32Function("GetDpiForSystem"));
    if (forSystem)
        if (const UINT value = forSystem())
            return static_cast<int>(value);
    return sane(logPixelsOf(nullptr));
}

int systemMetric(int index, int dpi)
{
    static const auto forDpi = reinterpret_cast<MetricForDpiFn>(user32Function("GetSystemMetricsForDpi"));
    if (forDpi && dpi > 0)
        return forDpi(index, static_cast<UINT>(dpi));
    const int system = ofSystem();
    return system == dpi ? GetSystemMetrics(index) : MulDiv(GetSystemMetrics(index), dpi, system);
}

}  // namespace dpi
