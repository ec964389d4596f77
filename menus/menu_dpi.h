// The DPI that the menu library's sizes, fonts, metrics and shared images are
// at. Sizes of the looks are defined at 96 DPI and taken at this DPI; the
// images are kept at their registered 96-DPI size brought to it.
#pragma once

#include <windows.h>

#include "dpi_scale.h"

extern int g_menuDpi;
// The 96-DPI size of the shared images, as the first registration gave it.
extern int g_imageBaseWidth;
extern int g_imageBaseHeight;

// pixels (at 96 DPI) at the library's DPI.
inline int AtMenuDpi(int pixels)
{
    return dpi::scale(pixels, g_menuDpi);
}

// A system metric and a font height (from the system's DPI) at the
// library's DPI.
int MenuMetric(int index);
LONG MenuFontHeight(LONG systemHeight);

// Makes newDpi the library's: re-reads fonts and metrics and rebuilds the
// image list from the registrations when it differs from the current one.
void UseMenuDpi(int newDpi);
