// Fonts of the menu items and the sizes of the library's items.
#include "menu_state.h"

#include "gdi_owners.h"

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

SIZE CaptionItemSize(SIZE textExtent, int captionButtonHeight)
{
    return {textExtent.cx + 4, captionButtonHeight + 4};
}

int SeparatorItemHeight(int menuBarHeight)
{
    return menuBarHeight >> 1;
}

// Icon column, a four-pixel gap, the text and one more pixel, and a square
// column for the sub-menu indicator; the system adds its check-mark column
// to owner-drawn items, so that width is taken off again.
SIZE CommandItemSize(SIZE textExtent, int imageWidth, int imageHeight, int checkMarkWidth)
{
    const int height = (textExtent.cy > imageHeight ? textExtent.cy : imageHeight) + 4;
    const int iconColumn = IconColumnWidth(imageWidth, height);
    const int width = iconColumn + textExtent.cx - checkMarkWidth + height + 5;
    return {width > 0 ? width : 0, height};
}

int IconColumnWidth(int imageWidth, int itemHeight)
{
    return imageWidth + 4 > itemHeight ? imageWidth + 4 : itemHeight;
}

namespace {

// Extent of text in font, measured on a display information context.
SIZE textExtent(HFONT font, const std::wstring& text)
{
    SIZE extent = {0, 0};
    owners::WindowDc info(nullptr);
    if (!info)
        return extent;
    owners::Selection selected(info.get(), font);
    GetTextExtentPoint32W(info.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    return extent;
}

void measureCaption(MEASUREITEMSTRUCT& mis, const MenuItemData& record)
{
    const SIZE size = CaptionItemSize(textExtent(g_captionFont, ShownMenuItemText(record)), g_captionButtonHeight);
    mis.itemWidth = size.cx;
    mis.itemHeight = size.cy;
}

void measureSeparator(MEASUREITEMSTRUCT& mis)
{
    mis.itemWidth = 0;
    mis.itemHeight = SeparatorItemHeight(g_menuBarHeight);
}

void measureCommand(MEASUREITEMSTRUCT& mis, const MenuItemData& record)
{
    const SIZE extent = textExtent(record.isDefault ? g_menuBoldFont : g_menuFont, ShownMenuItemText(record));
    const SIZE size = CommandItemSize(extent, g_imageWidth, g_imageHeight, GetSystemMetrics(SM_CXMENUCHECK));
    mis.itemWidth = size.cx;
    mis.itemHeight = size.cy;
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
