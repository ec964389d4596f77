// Fonts of the menu items and the sizes of the library's items.
#include "menu_state.h"

#include "gdi_owners.h"

#include <cstring>
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

namespace {

// Extent of text in font, measured on a display information context.
SIZE textExtent(HFONT font, const char* text)
{
    SIZE extent = {0, 0};
    owners::MemoryDc info(CreateICA("DISPLAY", nullptr, nullptr, nullptr));
    if (!info)
        return extent;
    owners::Selection selected(info.get(), font);
    GetTextExtentPoint32A(info.get(), text, static_cast<int>(std::strlen(text)), &extent);
    return extent;
}

void measureCaption(MEASUREITEMSTRUCT& mis, const MenuItemData& record)
{
    const SIZE extent = textExtent(g_captionFont, record.text);
    mis.itemHeight = g_captionButtonHeight + 4;
    mis.itemWidth = extent.cx + 4;
}

void measureSeparator(MEASUREITEMSTRUCT& mis)
{
    mis.itemHeight = g_menuBarHeight >> 1;
    mis.itemWidth = 0;
}

// Icon column, a four-pixel gap, the text and one more pixel, and a square
// column for the sub-menu indicator; the system adds its check-mark column
// to owner-drawn items, so that width is taken off again.
void measureCommand(MEASUREITEMSTRUCT& mis, const MenuItemData& record)
{
    const SIZE extent = textExtent(record.isDefault ? g_menuBoldFont : g_menuFont, record.text);
    const int height = (extent.cy > g_imageHeight ? extent.cy : g_imageHeight) + 4;
    const int iconColumn = height > g_imageWidth + 4 ? height : g_imageWidth + 4;
    mis.itemHeight = height;
    const int width = iconColumn + extent.cx - GetSystemMetrics(SM_CXMENUCHECK) + height + 5;
    mis.itemWidth = width > 0 ? width : 0;
}

}  // namespace

bool MeasureMenuItem(MEASUREITEMSTRUCT* mis)
{
    if (!mis || mis->CtlType != ODT_MENU)
        return false;
    const MenuItemData* record = AsMenuItemData(mis->itemData);
    if (!record)
        return false;
    if (record->isCaption)
        measureCaption(*mis, *record);
    else if (record->type & MFT_SEPARATOR)
        measureSeparator(*mis);
    else
        measureCommand(*mis, *record);
    return true;
}
