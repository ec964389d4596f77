// The library's DPI and the change to another one.
#include "menu_dpi.h"
#include "menu_state.h"

int g_menuDpi = dpi::kBase;
int g_imageBaseWidth = 0;
int g_imageBaseHeight = 0;

int MenuMetric(int index)
{
    return dpi::systemMetric(index, g_menuDpi);
}

LONG MenuFontHeight(LONG systemHeight)
{
    const int system = dpi::ofSystem();
    return system == g_menuDpi ? systemHeight : MulDiv(systemHeight, g_menuDpi, system);
}

void UseMenuDpi(int newDpi)
{
    if (newDpi <= 0 || newDpi == g_menuDpi)
        return;
    g_menuDpi = newDpi;
    ReloadMenuResources();
}
