// Painting of the library's menu items: caption band, separator, and command
// items with their image or check mark, label, accelerator and sub-menu
// indicator. A selected item gets raised frames instead of a highlight fill.
#include "menu_state.h"
#include "menu_dpi.h"
#include "greyscale.h"
#include "gdi_owners.h"
#include "ready_images.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// What a command item looks like in its current state, worked out once.
struct ItemLook {
    bool selected;
    bool grayed;
    bool checked;
    bool isDefault;
    bool noAccel;
    COLORREF light;
    COLORREF dark;
};

ItemLook lookOf(UINT state, const MenuItemData& record)
{
    ItemLook look = {};
    look.selected = (state & ODS_SELECTED) != 0;
    look.grayed = (state & ODS_GRAYED) != 0;
    look.checked = (state & ODS_CHECKED) != 0;
    // Wine never sets ODS_DEFAULT; the record knows the item is the default
    // one, and measurement sized it in bold already.
    look.isDefault = (state & ODS_DEFAULT) != 0 || record.isDefault;
    look.noAccel = (state & ODS_NOACCEL) != 0;
    look.light = look.selected ? g_highlightColor : g_menuColor;
    look.dark = look.selected ? g_shadowColor : g_menuColor;
    return look;
}

// The gradient function takes 16-bit channels.
TRIVERTEX vertex(LONG x, LONG y, COLORREF colour)
{
    TRIVERTEX v = {};
    v.x = x;
    v.y = y;
    v.Red = static_cast<COLOR16>(GetRValue(colour) << 8);
    v.Green = static_cast<COLOR16>(GetGValue(colour) << 8);
    v.Blue = static_cast<COLOR16>(GetBValue(colour) << 8);
    return v;
}

void drawCaption(HDC dc, const RECT& item, const MenuItemData& record)
{
    // A gap under the band; the frame lines stay one pixel at every DPI.
    const RECT frame = {item.left, item.top, item.right, item.bottom - AtMenuDpi(2)};
    DrawTwoColorFrame(dc, frame, g_highlightColor, g_shadowColor);
    RECT band = {item.left + 1, item.top + 1, item.right - 1, frame.bottom - 1};
    if (g_gradientFill) {
        TRIVERTEX ends[2] = {vertex(band.left, band.top, g_captionColor),
                             vertex(band.right, band.bottom, g_captionGradientColor)};
        GRADIENT_RECT rect = {0, 1};
        g_gradientFill(dc, ends, 2, &rect, 1, GRADIENT_FILL_RECT_H);
    } else {
        FillRectWithColor(dc, band, g_captionColor);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, g_captionTextColor);
    owners::Selection font(dc, g_captionFont);
    const std::wstring text = ShownMenuItemText(record);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &band, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}

void drawSeparator(HDC dc, const RECT& item)
{
    RECT line = {item.left, item.top + ((item.bottom - item.top) >> 1), item.right, item.bottom};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
}

// The system's check mark or bullet, black on white, combined so that the
// white leaves the menu as it is.
void drawCheckMark(HDC dc, int x, int y, int width, int height, bool radio, bool grayed)
{
    owners::Bitmap mark(CreateCompatibleBitmap(dc, width, height));
    owners::MemoryDc memory(CreateCompatibleDC(dc));
    if (!mark || !memory)
        return;
    {
        owners::Selection selected(memory.get(), mark.get());
        RECT box = {0, 0, width, height};
        DrawFrameControl(memory.get(), &box, DFC_MENU, radio ? DFCS_MENUBULLET : DFCS_MENUCHECK);
        if (!grayed) {
            BitBlt(dc, x, y, width, height, memory.get(), 0, 0, SRCAND);
            return;
        }
    }
    memory.reset();
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(mark.get()), 0, x, y, width, height,
               DST_BITMAP | DSS_DISABLED);
}

void drawCheckBox(HDC dc, const RECT& iconBox, const MenuItemData& record, const ItemLook& look)
{
    if (look.selected) {
        FillRectWithColor(dc, iconBox, g_menuColor);
    } else {
        SetTextColor(dc, g_highlightColor);
        FillRect(dc, &iconBox, g_halftoneBrush);
    }
    if (record.imageIndex == -1) {
        const int width = iconBox.right - iconBox.left - 2;
        const int height = iconBox.bottom - iconBox.top - 2;
        drawCheckMark(dc, iconBox.left + 1, iconBox.top + 1, width, height, (record.type & MFT_RADIOCHECK) != 0,
                      look.grayed);
    }
    DrawTwoColorFrame(dc, iconBox, g_shadowColor, g_highlightColor);
}

// Ready copies of the shared list's images, made on each image's first
// paint and dropped with the list.
ReadyImages g_readyColourImages;

void drawColourImage(HDC dc, int x, int y, int index)
{
    if (!g_readyColourImages.draw(g_imageList, index, dc, x, y))
        ImageList_Draw(g_imageList, index, dc, x, y, ILD_TRANSPARENT);
}

void drawImage(HDC dc, const RECT& iconBox, const MenuItemData& record, const ItemLook& look)
{
    if (!g_imageList)
        return;
    const int x = iconBox.left + ((iconBox.right - iconBox.left - g_imageWidth) >> 1);
    const int y = iconBox.top + ((iconBox.bottom - iconBox.top - g_imageHeight) >> 1);
    // Drawn from the list's images (here from their ready copies): making
    // an icon of the image for every paint costs more than the whole rest
    // of the item.
    if (!look.grayed) {
        if (g_lookMode == 1 && !look.selected)
            DrawGrayImage(dc, x, y, record.imageIndex);
        else
            drawColourImage(dc, x, y, record.imageIndex);
        return;
    }
    owners::Icon icon(ImageList_GetIcon(g_imageList, record.imageIndex, ILD_NORMAL));
    if (!icon)
        return;
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.get()), 0, x, y, g_imageWidth, g_imageHeight,
               DST_ICON | (look.grayed ? DSS_DISABLED : 0));
}

// A square box at the right end of the item, with the size grip in it.
void drawSubMenuIndicator(HDC dc, const RECT& item, int height, const ItemLook& look)
{
    const int inset = AtMenuDpi(3);
    RECT box = {item.right - height + inset, item.top + inset, item.right - inset, item.bottom - inset};
    if (look.selected) {
        DrawTwoColorFrame(dc, box, g_shadowColor, g_highlightColor);
        InflateRect(&box, -1, -1);
    }
    DrawFrameControl(dc, &box, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

void drawCommand(HDC dc, const RECT& item, const MenuItemData& record, const ItemLook& look)
{
    const int height = item.bottom - item.top;
    const int column = IconColumnWidth(g_imageWidth, height, g_menuDpi);
    const RECT iconBox = {item.left + 1, item.top + 1, item.left + column - 1, item.bottom - 1};
    const bool hasImage = record.imageIndex != -1;
    if (look.checked)
        drawCheckBox(dc, iconBox, record, look);
    if (hasImage) {
        drawImage(dc, iconBox, record, look);
        if (!record.hasSubMenu)
            DrawTwoColorFrame(dc, {item.left, item.top, item.left + column, item.bottom}, look.light, look.dark);
    }
    if (hasImage && !record.hasSubMenu)
        DrawTwoColorFrame(dc, {item.left + column + 1, item.top, item.right, item.bottom}, look.light, look.dark);
    else
        DrawTwoColorFrame(dc, item, look.light, look.dark);

    SetTextColor(dc, look.selected ? g_hotColor : g_menuTextColor);
    // Opaque, so that a repaint covers the text of the other state; on the
    // menu colour, since the system hands a selected item a DC whose
    // background is the highlight colour, which would put a highlight block
    // behind the text of an item that is meant to show a raised frame.
    SetBkColor(dc, g_menuColor);
    SetBkMode(dc, OPAQUE);
    {
        owners::Selection font(dc, look.isDefault ? g_menuBoldFont : g_menuFont);
        DrawItemText(dc, {item.left + column + AtMenuDpi(4), item.top, item.right - height, item.bottom},
                     ShownMenuItemText(record), look.grayed, look.noAccel);
    }
    if (record.hasSubMenu)
        drawSubMenuIndicator(dc, item, height, look);
}

SIZE extentOf(HDC dc, const std::wstring& text)
{
    SIZE extent = {0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    return extent;
}

void drawPrefixText(HDC dc, const std::wstring& text, int x, int y, int height, UINT flags)
{
    const SIZE extent = extentOf(dc, text);
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(text.c_str()), static_cast<WPARAM>(text.size()), x, y,
               extent.cx, height, flags);
}

}  // namespace

void DrawTwoColorFrame(HDC dc, const RECT& r, COLORREF light, COLORREF dark)
{
    owners::Pen lightPen(CreatePen(PS_SOLID, 0, light));
    owners::Pen darkPen(CreatePen(PS_SOLID, 0, dark));
    // Without both pens the host's own pen could not be selected back.
    if (!lightPen || !darkPen)
        return;
    HGDIOBJ previous = SelectObject(dc, lightPen.get());
    MoveToEx(dc, r.left, r.bottom - 1, nullptr);
    LineTo(dc, r.left, r.top);
    LineTo(dc, r.right - 1, r.top);
    SelectObject(dc, darkPen.get());
    LineTo(dc, r.right - 1, r.bottom - 1);
    LineTo(dc, r.left - 1, r.bottom - 1);
    SelectObject(dc, previous);
}

void FillRectWithColor(HDC dc, const RECT& r, COLORREF colour)
{
    owners::Brush brush(CreateSolidBrush(colour));
    FillRect(dc, &r, brush.get());
}

void DrawItemText(HDC dc, const RECT& r, const std::wstring& text, bool disabled, bool hidePrefixes)
{
    const int textHeight = extentOf(dc, text).cy;

    // The last tab splits label and accelerator.
    std::wstring label = text;
    std::wstring accelerator;
    const std::size_t tab = label.rfind(L'\t');
    if (tab != std::wstring::npos) {
        accelerator = label.substr(tab + 1);
        label.resize(tab);
    }
    if (hidePrefixes)
        label.erase(std::remove(label.begin(), label.end(), L'&'), label.end());
    const int offset = (r.bottom - r.top - textHeight) / 2;
    const UINT flags = DST_PREFIXTEXT | (disabled ? DSS_DISABLED : 0);
    drawPrefixText(dc, label, r.left, r.top + offset, textHeight, flags);
    // A text that begins with its tab still shows its accelerator.
    if (tab != std::wstring::npos) {
        const int width = extentOf(dc, accelerator).cx;
        drawPrefixText(dc, accelerator, r.right - width, r.top + offset, textHeight, flags);
    }
}

namespace {

// Reads the bitmap (not selected into any DC) as a bottom-up 24-bit DIB,
// greys every pixel and writes it back.
void greyBitmapInPlace(HDC dc, HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t(3);
    std::vector<std::uint8_t> pixels(stride * height);
    GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    GreyscaleBgrRows(pixels.data(), width, height, stride);
    SetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
}

}  // namespace

void DrawGrayIcon(HDC dc, int x, int y, HICON icon)
{
    const int width = g_imageWidth, height = g_imageHeight;
    owners::Bitmap bitmap(CreateCompatibleBitmap(dc, width, height));
    owners::MemoryDc memory(CreateCompatibleDC(dc));
    if (!bitmap || !memory)
        return;
    {
        // The icon's opaque area is blacked out on the target first.
        owners::Selection selected(memory.get(), bitmap.get());
        DrawIconEx(memory.get(), 0, 0, icon, width, height, 0, nullptr, DI_MASK);
        BitBlt(dc, x, y, width, height, memory.get(), 0, 0, SRCAND);
        FillRectWithColor(memory.get(), {0, 0, width, height}, RGB(0, 0, 0));
        DrawIconEx(memory.get(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    }
    greyBitmapInPlace(dc, bitmap.get(), width, height);
    // On black, the grey image fills the blacked-out area and leaves the rest.
    owners::Selection selected(memory.get(), bitmap.get());
    BitBlt(dc, x, y, width, height, memory.get(), 0, 0, SRCPAINT);
}

// The greyscale look of the shared image list, kept in a list of its own:
// the same images, greyed once when they are first drawn in that look, so
// that a grey item costs what a colour one does. Images are only ever
// appended to the shared list until it is dropped, and a drop forgets the
// copy, so the copy is whole when its count matches.
namespace {
HIMAGELIST g_greyImages = nullptr;
ReadyImages g_readyGreyImages;

// Image `index` of the shared list, greyed, with its mask; false on failure.
bool addGreyImage(int index)
{
    const int width = g_imageWidth, height = g_imageHeight;
    owners::MemoryDc memory;
    owners::Bitmap colours;
    {
        owners::WindowDc screen(nullptr);
        memory.reset(CreateCompatibleDC(screen.get()));
        colours.reset(CreateCompatibleBitmap(screen.get(), width, height));
    }
    owners::Bitmap mask(CreateBitmap(width, height, 1, 1, nullptr));
    if (!memory || !colours || !mask)
        return false;
    const RECT all = {0, 0, width, height};
    {
        owners::Selection selected(memory.get(), mask.get());
        FillRectWithColor(memory.get(), all, RGB(255, 255, 255));
        ImageList_Draw(g_imageList, index, memory.get(), 0, 0, ILD_MASK);
    }
    {
        owners::Selection selected(memory.get(), colours.get());
        FillRectWithColor(memory.get(), all, RGB(0, 0, 0));
        ImageList_Draw(g_imageList, index, memory.get(), 0, 0, ILD_TRANSPARENT);
    }
    greyBitmapInPlace(memory.get(), colours.get(), width, height);
    return ImageList_Add(g_greyImages, colours.get(), mask.get()) != -1;
}

// Greys the images added to the shared list since the last call.
bool catchUpGreyImages()
{
    if (!g_greyImages)
        g_greyImages = ImageList_Create(g_imageWidth, g_imageHeight, ILC_COLOR24 | ILC_MASK, 0, 10);
    if (!g_greyImages)
        return false;
    const int count = ImageList_GetImageCount(g_imageList);
    for (int i = ImageList_GetImageCount(g_greyImages); i < count; ++i)
        if (!addGreyImage(i))
            return false;
    return true;
}
}  // namespace

void ForgetGreyImages()
{
    g_readyGreyImages.forget();
    if (g_greyImages) {
        ImageList_Destroy(g_greyImages);
        g_greyImages = nullptr;
    }
}

void DrawGrayImage(HDC dc, int x, int y, int index)
{
    if (!catchUpGreyImages()) {
        ForgetGreyImages();
        return;
    }
    if (!g_readyGreyImages.draw(g_greyImages, index, dc, x, y))
        ImageList_Draw(g_greyImages, index, dc, x, y, ILD_TRANSPARENT);
}

void ForgetReadyImages()
{
    g_readyColourImages.forget();
    ForgetGreyImages();
}

ReadyImageCounts CountReadyImages()
{
    return {g_readyColourImages.readyCount() + g_readyGreyImages.readyCount(),
            g_readyColourImages.gdiObjects() + g_readyGreyImages.gdiObjects()};
}

bool DrawMenuItem(const DRAWITEMSTRUCT* dis)
{
    if (!dis || dis->CtlType != ODT_MENU)
        return false;
    EnsureMenuFonts();
    const MenuItemData* record = AsMenuItemData(dis->itemData);
    if (!record)
        return false;
    HDC dc = dis->hDC;
    SelectClipRgn(dc, nullptr);
    if (record->isCaption) {
        drawCaption(dc, dis->rcItem, *record);
        return true;
    }
    if (record->type & MFT_SEPARATOR)
        drawSeparator(dc, dis->rcItem);
    else
        drawCommand(dc, dis->rcItem, *record, lookOf(dis->itemState, *record));
    // Nothing more reaches this item's pixels until the next paint: the
    // system's own sub-menu arrow among them.
    SelectClipRgn(dc, g_emptyRegion);
    return true;
}
