// Fonts of the menu items and the sizes of the library's items.
#include "menu_state.h"

#include <initializer_list>

void CreateMenuFonts()
{
    // 340 bytes: the structure without its later iPaddedBorderWidth member,
    // which every system version accepts.
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = 340;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0);
    g_menuFont = CreateFontIndirectA(&metrics.lfMenuFont);
    metrics.lfMenuFont.lfWeight = FW_BOLD;
    g_menuBoldFont = CreateFontIndirectA(&metrics.lfMenuFont);
    g_captionFont = CreateFontIndirectA(&metrics.lfCaptionFont);
}

void DeleteMenuFonts()
{
    for (HFONT* font : {&g_menuFont, &g_menuBoldFont, &g_captionFont}) {
        if (*font)
            DeleteObject(*font);
        *font = nullptr;
    }
}
