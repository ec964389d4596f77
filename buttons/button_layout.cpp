// Icon loading, text measurement, content placement and optimal size.
#include "button_layout.h"
#include "button_registry.h"
#include "gdi_owners.h"
#include "tavrolib.h"
#include "wide_text.h"

#include <algorithm>

namespace button_layout {

namespace {

constexpr int kGap = 5;
constexpr int kTextPadding = 2;
constexpr int kArrowReserve = 20;

int half(int x)
{
    return x >> 1;  // arithmetic: rounds toward minus infinity
}

void keepTopInside(RECT& r, const RECT& content)
{
    if (r.top < content.top)
        r.top = content.top;
}

void keepBottomInside(RECT& r, const RECT& content)
{
    if (r.bottom > content.bottom)
        r.bottom = content.bottom - 1;
}

void keepLeftInside(RECT& r, const RECT& content)
{
    if (r.left < content.left)
        r.left = content.left;
}

void keepRightInside(RECT& r, const RECT& content)
{
    if (r.right > content.right)
        r.right = content.right - 1;
}

}  // namespace

Stacking stackingOf(DWORD style)
{
    switch (style & 0xC00) {
    case BS_TOP:
        return Stacking::IconAbove;
    case BS_BOTTOM:
        return Stacking::IconBelow;
    default:
        return Stacking::SideBySide;
    }
}

Alignment alignmentOf(DWORD style)
{
    switch (style & 0x300) {
    case BS_LEFT:
        return Alignment::Left;
    case BS_RIGHT:
        return Alignment::Right;
    default:
        return Alignment::Centre;
    }
}

std::wstring cutCaption(std::wstring text)
{
    if (text.size() <= kMaxCaption)
        return text;
    std::size_t kept = kMaxCaption;
    if (IS_HIGH_SURROGATE(text[kept - 1]))
        --kept;  // a lone half would draw as a box
    text.resize(kept);
    return text;
}

std::wstring captionOf(HWND button)
{
    return cutCaption(wide_text::windowText(button));
}

MeasuredText measureText(HDC dc, wchar_t* text, int length, int contentWidth, DWORD style, int iconWidth,
                         int dpi)
{
    const int gap = dpi::scale(kGap, dpi);
    const int padding = dpi::scale(kTextPadding, dpi);
    RECT r{0, 0, 0, 0};
    MeasuredText measured;
    if (style & BS_MULTILINE) {
        r.right = contentWidth;
        if (stackingOf(style) == Stacking::SideBySide)
            r.right -= iconWidth + gap;
        DrawTextW(dc, text, length, &r, DT_WORDBREAK | DT_CALCRECT | DT_MODIFYSTRING);
        measured.format = DT_WORDBREAK;
    } else {
        DrawTextW(dc, text, length, &r, DT_CALCRECT | DT_SINGLELINE);
        measured.format = DT_SINGLELINE;
    }
    measured.box = RECT{0, 0, r.right + padding, r.bottom + padding};
    return measured;
}

void layoutWithIcon(DWORD style, const RECT& content, SIZE icon, RECT& iconRect, RECT& textRect, UINT& format,
                    int dpi)
{
    const LONG gap = dpi::scale(kGap, dpi);
    const LONG L = content.left, T = content.top, R = content.right, B = content.bottom;
    const LONG W = R - L, H = B - T;
    const LONG iw = icon.cx, ih = icon.cy;
    const LONG tw = textRect.right - textRect.left, th = textRect.bottom - textRect.top;
    const Stacking stacking = stackingOf(style);

    switch (stacking) {
    case Stacking::SideBySide:
        iconRect.top = T + half(H - ih);
        iconRect.bottom = iconRect.top + ih;
        textRect.top = T + half(H - th);
        textRect.bottom = textRect.top + th;
        keepTopInside(textRect, content);
        keepBottomInside(textRect, content);
        format |= DT_VCENTER;
        break;
    case Stacking::IconAbove: {
        const LONG g = half(H - ih - th - gap);
        if (g > 0) {
            iconRect.top = T + g;
            iconRect.bottom = iconRect.top + ih;
            textRect.top = iconRect.bottom + gap;
            textRect.bottom = textRect.top + th;
        } else {
            iconRect.top = T;
            iconRect.bottom = T + ih;
            textRect.top = T + ih + gap;
            textRect.bottom = B - 1;
        }
        break;
    }
    case Stacking::IconBelow: {
        const LONG g = half(H - ih - th - gap);
        if (g > 0) {
            iconRect.bottom = B - g;
            iconRect.top = iconRect.bottom - ih;
            textRect.bottom = iconRect.top - gap;
            textRect.top = textRect.bottom - th;
        } else {
            iconRect.bottom = B - 1;
            iconRect.top = B - 1 - ih;
            textRect.bottom = iconRect.top - gap;
            textRect.top = T;
        }
        format |= DT_BOTTOM;
        break;
    }
    }

    const Alignment alignment = alignmentOf(style);
    if (stacking != Stacking::SideBySide) {
        switch (alignment) {
        case Alignment::Centre:
            iconRect.left = L + half(W - iw);
            iconRect.right = iconRect.left + iw;
            textRect.left = L + half(W - tw);
            textRect.right = textRect.left + tw;
            keepLeftInside(textRect, content);
            keepRightInside(textRect, content);
            format |= DT_CENTER;
            break;
        case Alignment::Left:
            iconRect.left = L;
            iconRect.right = L + iw;
            textRect.left = L;
            textRect.right = L + tw;
            keepRightInside(textRect, content);
            break;
        case Alignment::Right:
            iconRect.right = R - 1;
            iconRect.left = R - 1 - iw;
            textRect.right = R - 1;
            textRect.left = R - 1 - tw;
            keepLeftInside(textRect, content);
            format |= DT_RIGHT;
            break;
        }
        return;
    }
    switch (alignment) {
    case Alignment::Centre: {
        const LONG g = half(W - iw - tw - gap);
        if (g > 0) {
            iconRect.left = L + g;
            iconRect.right = iconRect.left + iw;
            textRect.left = iconRect.right + gap;
            textRect.right = textRect.left + tw;
        } else {
            iconRect.left = L;
            iconRect.right = L + iw;
            textRect.left = L + iw + gap;
            textRect.right = R - 1;
        }
        format |= DT_CENTER;
        break;
    }
    case Alignment::Left:
        iconRect.left = L;
        iconRect.right = L + iw;
        textRect.left = L + iw + gap;
        textRect.right = textRect.left + tw;
        keepRightInside(textRect, content);
        break;
    case Alignment::Right:
        iconRect.right = R - 1;
        iconRect.left = R - 1 - iw;
        textRect.right = iconRect.left - gap;
        textRect.left = textRect.right - tw;
        keepLeftInside(textRect, content);
        format |= DT_RIGHT;
        break;
    }
}

void layoutTextOnly(DWORD style, const RECT& content, RECT& textRect, UINT& format)
{
    const LONG L = content.left, T = content.top, R = content.right, B = content.bottom;
    const LONG tw = textRect.right - textRect.left, th = textRect.bottom - textRect.top;

    switch (stackingOf(style)) {
    case Stacking::SideBySide:
        textRect.top = T + half(B - T - th);
        textRect.bottom = textRect.top + th;
        keepTopInside(textRect, content);
        keepBottomInside(textRect, content);
        format |= DT_VCENTER;
        break;
    case Stacking::IconAbove:
        textRect.top = T;
        textRect.bottom = T + th;
        keepBottomInside(textRect, content);
        break;
    case Stacking::IconBelow:
        textRect.bottom = B - 1;
        textRect.top = B - 1 - th;
        keepTopInside(textRect, content);
        format |= DT_BOTTOM;
        break;
    }

    switch (alignmentOf(style)) {
    case Alignment::Centre:
        textRect.left = L + half(R - L - tw);
        textRect.right = textRect.left + tw;
        format |= DT_CENTER;
        keepLeftInside(textRect, content);
        keepRightInside(textRect, content);
        break;
    case Alignment::Left:
        textRect.left = L;
        textRect.right = L + tw;
        keepRightInside(textRect, content);
        break;
    case Alignment::Right:
        textRect.right = R - 1;
        textRect.left = R - 1 - tw;
        keepLeftInside(textRect, content);
        format |= DT_RIGHT;
        break;
    }
}

SIZE optimalSize(DWORD style, int mode, SIZE text, SIZE icon, int dpi)
{
    const int gap = dpi::scale(kGap, dpi);
    SIZE size;
    if (stackingOf(style) == Stacking::SideBySide) {
        size.cx = text.cx + icon.cx + gap + (icon.cx != 0 ? gap : 0);
        size.cy = std::max(text.cy, icon.cy) + gap;
    } else {
        size.cx = std::max(text.cx, icon.cx) + gap;
        size.cy = text.cy + icon.cy + gap + (icon.cy != 0 ? gap : 0);
    }
    if (mode == TavroSplitDown || mode == TavroSplitRight)
        size.cx += dpi::scale(kArrowReserve, dpi);
    return size;
}

}  // namespace button_layout

namespace {

// An icon resource at width x height (0 x 0: its own size); only the low 16
// bits name it.
HICON loadIconResource(HINSTANCE module, unsigned int id, int width, int height)
{
    return static_cast<HICON>(
        LoadImageA(module, MAKEINTRESOURCEA(id & 0xFFFF), IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
}

// The size of an icon's colour bitmap; false when it cannot be read.
bool iconSize(HICON icon, SIZE& size)
{
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return false;
    owners::Bitmap colour(info.hbmColor);
    owners::Bitmap mask(info.hbmMask);
    BITMAP bm = {};
    // Monochrome icons have no colour bitmap: their mask holds both halves.
    if (!colour || !GetObjectA(colour.get(), sizeof bm, &bm))
        return false;
    size = SIZE{bm.bmWidth, bm.bmHeight};
    return true;
}

// An icon resource at its own size, brought to dpi: loaded again at the
// scaled size, so that an icon with several images gives the one that fits
// best.
HICON loadIconResource(HINSTANCE module, unsigned int id, int dpi)
{
    HICON icon = loadIconResource(module, id, 0, 0);
    SIZE natural;
    if (!icon || dpi == dpi::kBase || !iconSize(icon, natural))
        return icon;
    HICON scaled = loadIconResource(module, id, dpi::scale(natural.cx, dpi), dpi::scale(natural.cy, dpi));
    if (!scaled)
        return icon;
    DestroyIcon(icon);
    return scaled;
}

}  // namespace

bool HookedButton::loadIcons(HINSTANCE module, unsigned int firstId, unsigned int secondId)
{
    if (imageList) {
        ImageList_Destroy(imageList);
        imageList = nullptr;
        iconHeight = 0;
        iconWidth = 0;
    }
    owners::Icon first(loadIconResource(module, firstId, windowDpi));
    if (!first)
        return false;
    SIZE size;
    if (!iconSize(first.get(), size))
        return false;
    owners::ImageList list(ImageList_Create(size.cx, size.cy, ILC_COLOR8 | ILC_MASK, 2, 0));
    if (!list)
        return false;
    if (ImageList_ReplaceIcon(list.get(), -1, first.get()) == -1)
        return false;
    owners::Icon kept;
    if (secondId != 0)
        kept.reset(loadIconResource(module, secondId, windowDpi));
    if (!kept)
        kept = std::move(first);
    if (ImageList_ReplaceIcon(list.get(), -1, kept.get()) == -1)
        return false;
    imageList = list.release();
    iconModule = module;
    iconId = firstId;
    secondIconId = secondId;
    iconWidth = size.cx;
    iconHeight = size.cy;
    return true;
}

SIZE HookedButton::getOptimalSize() const
{
    SIZE text{0, 0};
    {
        owners::WindowDc dc(hwnd);
        const HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
        owners::Selection selected(dc.get(), font);
        const std::wstring caption = button_layout::captionOf(hwnd);
        GetTextExtentPoint32W(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &text);
    }
    return button_layout::optimalSize(style, mode, text, SIZE{iconWidth, iconHeight}, windowDpi);
}
