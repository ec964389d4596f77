// Fonts of the menu items and the sizes of the library's items.
#include "menu_state.h"
#include "menu_dpi.h"

#include "gdi_owners.h"

#include <initializer_list>

namespace {

// One memory DC, compatible with the screen, measures every item: getting a
// screen DC and realising the font in it again for every WM_MEASUREITEM cost
// more than the rest of the item. It keeps the font it measured last
// selected, and goes with the fonts, so that it never holds a deleted one.
owners::MemoryDc g_measuringDc;
HFONT g_measuringFont = nullptr;

void releaseMeasuringDc()
{
    g_measuringDc.reset();
    g_measuringFont = nullptr;
}

}  // namespace

void CreateMenuFonts()
{
    // 340 bytes: the structure without its later iPaddedBorderWidth member,
    // which every system version accepts.
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = 340;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0);
    // The system gives its fonts at its own DPI; a window on a screen of
    // another DPI gets them in proportion.
    metrics.lfMenuFont.lfHeight = MenuFontHeight(metrics.lfMenuFont.lfHeight);
    metrics.lfCaptionFont.lfHeight = MenuFontHeight(metrics.lfCaptionFont.lfHeight);
    // Only the missing ones: a font the system could not give last time is
    // asked for again at the next measure or paint.
    if (!g_menuFont)
        g_menuFont = CreateFontIndirectA(&metrics.lfMenuFont);
    metrics.lfMenuFont.lfWeight = FW_BOLD;
    if (!g_menuBoldFont)
        g_menuBoldFont = CreateFontIndirectA(&metrics.lfMenuFont);
    if (!g_captionFont)
        g_captionFont = CreateFontIndirectA(&metrics.lfCaptionFont);
}

void EnsureMenuFonts()
{
    if (!g_menuFont || !g_menuBoldFont || !g_captionFont)
        CreateMenuFonts();
}

void DeleteMenuFonts()
{
    releaseMeasuringDc();
    for (HFONT* font : {&g_menuFont, &g_menuBoldFont, &g_captionFont}) {
        if (*font)
            DeleteObject(*font);
        *font = nullptr;
    }
}

SIZE CaptionItemSize(SIZE textExtent, int captionButtonHeight, int dpi)
{
    const int margin = dpi::scale(4, dpi);
    return {textExtent.cx + margin, captionButtonHeight + margin};
}

int SeparatorItemHeight(int menuBarHeight)
{
    return menuBarHeight >> 1;
}

// Icon column, a four-pixel gap, the text and one more pixel, and a square
// column for the sub-menu indicator; the system adds its check-mark column
// to owner-drawn items, so that width is taken off again.
SIZE CommandItemSize(SIZE textExtent, int imageWidth, int imageHeight, int checkMarkWidth, int dpi)
{
    const int height = (textExtent.cy > imageHeight ? textExtent.cy : imageHeight) + dpi::scale(4, dpi);
    const int iconColumn = IconColumnWidth(imageWidth, height, dpi);
    const int width = iconColumn + textExtent.cx - checkMarkWidth + height + dpi::scale(5, dpi);
    return {width > 0 ? width : 0, height};
}

int IconColumnWidth(int imageWidth, int itemHeight, int dpi)
{
    const int padded = imageWidth + dpi::scale(4, dpi);
    return padded > itemHeight ? padded : itemHeight;
}

namespace {

SIZE extentIn(HDC dc, const std::wstring& text)
{
    SIZE extent = {0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    return extent;
}

// Extent of text in font, measured on a DC compatible with the screen; a
// missing font (the system could not give it) measures in the DC's own.
SIZE textExtent(HFONT font, const std::wstring& text)
{
    if (!g_measuringDc) {
        owners::WindowDc screen(nullptr);
        g_measuringDc.reset(CreateCompatibleDC(screen.get()));
        g_measuringFont = nullptr;
    }
    if (!g_measuringDc) {
        // Without a DC of its own, a borrowed screen DC measures as before.
        owners::WindowDc info(nullptr);
        if (!info)
            return {0, 0};
        owners::Selection selected(info.get(), font);
        return extentIn(info.get(), text);
    }
    if (font != g_measuringFont || !font) {
        HGDIOBJ selected = font ? SelectObject(g_measuringDc.get(), font) : nullptr;
        if (!selected)
            SelectObject(g_measuringDc.get(), GetStockObject(SYSTEM_FONT));
        g_measuringFont = selected ? font : nullptr;
    }
    return extentIn(g_measuringDc.get(), text);
}

void measureCaption(MEASUREITEMSTRUCT& mis, const MenuItemData& record)
{
    const SIZE size =
        CaptionItemSize(textExtent(g_captionFont, ShownMenuItemText(record)), g_captionButtonHeight, g_menuDpi);
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
    const SIZE size =
        CommandItemSize(extent, g_imageWidth, g_imageHeight, g_menuCheckWidth, g_menuDpi);
    mis.itemWidth = size.cx;
    mis.itemHeight = size.cy;
}

}  // namespace

bool MeasureMenuItem(MEASUREITEMSTRUCT* mis)
{
    if (!mis || mis->CtlType != ODT_MENU)
        return false;
    EnsureMenuFonts();
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
