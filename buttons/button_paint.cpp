// The painter of attached buttons: the whole button is composed in a memory
// bitmap (background, frame, arrow area, icon, text, focus) and reaches the
// screen in one BitBlt, so no half-drawn state ever shows. Every GDI object
// of a paint is owned and released before the paint returns.
#include "button_paint.h"
#include "button_layout.h"
#include "button_registry.h"
#include "dpi_scale.h"
#include "gdi_owners.h"
#include "tavrolib.h"

#include <string>

namespace button_paint {

const BYTE kCheckedPattern[16] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};

Look lookOf(const PaintState& s)
{
    Look look;
    look.arrowHeld = s.pushState == 4 && s.mode != TavroNotify;
    const bool pressedLook = (s.selected || s.pushState > 0) && !look.arrowHeld;

    if (s.frameless)
        look.frame = Frame::None;
    else if (!s.flat)
        look.frame = pressedLook ? Frame::FourLineSunken : Frame::FourLineRaised;
    else if (s.selected)
        look.frame = Frame::TwoLineSunken;
    else if (s.hot || s.pushState > 0)
        look.frame = pressedLook ? Frame::TwoLineSunken : Frame::TwoLineRaised;
    else
        look.frame = Frame::None;

    if (s.selected)
        look.offset = look.arrowHeld ? 0 : s.flat ? 1 : 2;
    else
        look.offset = (s.hot ? -1 : 0) + (s.pushState > 0 && !look.arrowHeld ? 1 : 0);

    // A flat button at rest shows the second icon, the first while hovered
    // or pressed; the indeterminate state always shows the second.
    const bool first = s.pushState == 4 || (s.pushState <= 1 && (!s.flat || s.selected || s.hot));
    look.imageIndex = first ? 0 : 1;

    if (s.pushState == 2)
        look.text = TextColour::Shadow;
    else if (s.hot || (s.flat && (s.pushState == 4 || s.selected)))
        look.text = TextColour::Hot;
    else
        look.text = TextColour::Normal;
    return look;
}

}  // namespace button_paint

namespace {

using button_paint::Frame;

constexpr int kBorder = 2;
constexpr int kArrowArea = 15;
constexpr int kArrowReserve = 20;

void drawFrame(const HookedButton& b, HDC dc, const RECT& r, bool sunken, bool twoLine)
{
    COLORREF colours[4] = {};
    if (twoLine) {
        colours[0] = sunken ? b.shadowColor : b.highlightColor;
        colours[1] = sunken ? b.highlightColor : b.shadowColor;
    } else {
        colours[0] = sunken ? b.darkShadowColor : b.highlightColor;
        colours[1] = sunken ? b.highlightColor : b.darkShadowColor;
        colours[2] = sunken ? b.shadowColor : b.lightColor;
        colours[3] = sunken ? b.lightColor : b.shadowColor;
    }
    owners::Pen outerTopLeft(CreatePen(PS_SOLID, 0, colours[0]));
    owners::Pen outerBottomRight(CreatePen(PS_SOLID, 0, colours[1]));
    owners::Pen innerTopLeft(twoLine ? nullptr : CreatePen(PS_SOLID, 0, colours[2]));
    owners::Pen innerBottomRight(twoLine ? nullptr : CreatePen(PS_SOLID, 0, colours[3]));
    owners::Selection keep(dc, outerTopLeft.get());
    MoveToEx(dc, r.left, r.bottom - 1, nullptr);
    LineTo(dc, r.left, r.top);
    LineTo(dc, r.right - 1, r.top);
    SelectObject(dc, outerBottomRight.get());
    LineTo(dc, r.right - 1, r.bottom - 1);
    LineTo(dc, r.left, r.bottom - 1);
    if (twoLine)
        return;
    SelectObject(dc, innerTopLeft.get());
    MoveToEx(dc, r.left + 1, r.bottom - 2, nullptr);
    LineTo(dc, r.left + 1, r.top + 1);
    LineTo(dc, r.right - 2, r.top + 1);
    SelectObject(dc, innerBottomRight.get());
    LineTo(dc, r.right - 2, r.bottom - 2);
    LineTo(dc, r.left + 1, r.bottom - 2);
}

void drawFrame(const HookedButton& b, HDC dc, const RECT& r, Frame frame)
{
    switch (frame) {
    case Frame::None:
        break;
    case Frame::TwoLineRaised:
        drawFrame(b, dc, r, false, true);
        break;
    case Frame::TwoLineSunken:
        drawFrame(b, dc, r, true, true);
        break;
    case Frame::FourLineRaised:
        drawFrame(b, dc, r, false, false);
        break;
    case Frame::FourLineSunken:
        drawFrame(b, dc, r, true, false);
        break;
    }
}

HBRUSH createCheckedBrush()
{
    owners::Bitmap pattern(CreateBitmap(8, 8, 1, 1, button_paint::kCheckedPattern));
    return CreatePatternBrush(pattern.get());
}

void drawSeparatorLine(HDC dc, COLORREF colour, int x, int top, int bottom)
{
    owners::Pen pen(CreatePen(PS_SOLID, 0, colour));
    owners::Selection keep(dc, pen.get());
    MoveToEx(dc, x, top, nullptr);
    LineTo(dc, x, bottom);
}

// The arrow area at the right end of content: a sunken frame while held,
// else a separator; then the triangle, outlined with the DC's own pen. The
// separator and frame lines stay one pixel at every DPI, as the system's
// own edges do; the area and the triangle grow with it.
void drawArrowArea(const HookedButton& b, HDC dc, const RECT& content, bool held)
{
    const LONG T = content.top, R = content.right, B = content.bottom;
    const auto at = [&b](int pixels) { return dpi::scale(pixels, b.windowDpi); };
    const bool flat = (b.style & BS_FLAT) != 0;
    if (held) {
        drawFrame(b, dc, RECT{R - at(kArrowArea), T, R, B}, true, flat);
    } else {
        drawSeparatorLine(dc, b.shadowColor, R - at(kArrowArea), T + 1, B - 1);
        drawSeparatorLine(dc, b.highlightColor, R - at(kArrowArea) + 1, T + 1, B - 1);
    }
    const LONG midY = T + ((B - T) >> 1);
    COLORREF fill = b.textColor;
    if (!IsWindowEnabled(b.hwnd))
        fill = b.faceColor;
    else if (flat && (b.hot || held))
        fill = b.hotTextColor;
    owners::Brush brush(CreateSolidBrush(fill));
    owners::Selection keep(dc, brush.get());
    if (b.mode == TavroSplitRight) {
        const POINT points[3] = {{R - at(11), midY - at(4)}, {R - at(7), midY}, {R - at(11), midY + at(4)}};
        Polygon(dc, points, 3);
    } else {
        const POINT points[3] = {{R - at(12), midY}, {R - at(4), midY}, {R - at(8), midY + at(4)}};
        Polygon(dc, points, 3);
    }
}

BOOL CALLBACK drawTextProc(HDC dc, LPARAM text, WPARAM format, int cx, int cy)
{
    RECT r{0, 0, cx, cy};
    DrawTextW(dc, reinterpret_cast<const wchar_t*>(text), -1, &r, static_cast<UINT>(format));
    return TRUE;
}

void fillBackground(const HookedButton& b, HDC source, HDC memory, const RECT& work)
{
    const int w = work.right, h = work.bottom;
    if (b.background) {
        owners::MemoryDc copy(CreateCompatibleDC(source));
        owners::SavedState saved(copy.get());
        SelectObject(copy.get(), b.background);
        BitBlt(memory, 0, 0, w, h, copy.get(), 0, 0, SRCCOPY);
    } else if (b.pushState == 1) {
        // Pattern bits 0 take the text colour, bits 1 the background colour.
        SetTextColor(memory, b.highlightColor);
        SetBkColor(memory, b.faceColor);
        owners::Brush checked(createCheckedBrush());
        FillRect(memory, &work, checked.get());
    } else {
        owners::Brush face(CreateSolidBrush(b.faceColor));
        FillRect(memory, &work, face.get());
    }
}

COLORREF textColourOf(const HookedButton& b, button_paint::TextColour which)
{
    switch (which) {
    case button_paint::TextColour::Shadow:
        return b.shadowColor;
    case button_paint::TextColour::Hot:
        return b.hotTextColor;
    default:
        return b.textColor;
    }
}

void drawIcon(const HookedButton& b, HDC dc, int index, const RECT& iconRect, bool disabled)
{
    // Straight from the image list: making an icon of the image for every
    // paint costs more than the rest of the paint together.
    if (!disabled) {
        ImageList_Draw(b.imageList, index, dc, iconRect.left, iconRect.top, ILD_TRANSPARENT);
        return;
    }
    owners::Icon icon(ImageList_GetIcon(b.imageList, index, ILD_TRANSPARENT));
    if (!icon)
        return;  // drawn without the icon
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.get()), 0, iconRect.left, iconRect.top,
               b.iconWidth, b.iconHeight, DST_ICON | (disabled ? DSS_DISABLED : 0));
}

}  // namespace

bool HookedButton::drawItem(const DRAWITEMSTRUCT& item) const
{
    if (item.CtlType != ODT_BUTTON)
        return false;

    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    const button_paint::Look look = button_paint::lookOf(
        {selected, (style & BS_FLAT) != 0, (exStyle & TAVRO_EX_FRAMELESS) != 0, hot, pushState, mode});

    std::wstring text = button_layout::captionOf(hwnd);
    const int length = static_cast<int>(text.size());

    const int w = item.rcItem.right - item.rcItem.left;
    const int h = item.rcItem.bottom - item.rcItem.top;
    owners::MemoryDc memory(CreateCompatibleDC(item.hDC));
    owners::Bitmap surface(CreateCompatibleBitmap(item.hDC, w, h));
    owners::SavedState saved(memory.get());
    SelectObject(memory.get(), surface.get());
    if (HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(hwnd, WM_GETFONT, 0, 0)))
        SelectObject(memory.get(), font);
    const RECT work{0, 0, w, h};

    fillBackground(*this, item.hDC, memory.get(), work);
    drawFrame(*this, memory.get(), work, look.frame);

    const int border = dpi::scale(kBorder, windowDpi);
    RECT content{border, border, w - border, h - border};
    const bool split = mode == TavroSplitDown || mode == TavroSplitRight;
    RECT textRect{0, 0, 0, 0};
    UINT format = 0;
    if (length > 0) {
        // Measured at the width it is drawn in: beside the arrow area, a
        // wrapped label needs the lines that width gives.
        const int width = content.right - content.left - (split ? dpi::scale(kArrowReserve, windowDpi) : 0);
        const button_layout::MeasuredText measured =
            button_layout::measureText(memory.get(), &text[0], length, width, style, iconWidth, windowDpi);
        textRect = measured.box;
        format = measured.format;
    }
    const int offset = dpi::scale(look.offset, windowDpi);
    OffsetRect(&content, offset, offset);
    if (split) {
        drawArrowArea(*this, memory.get(), content, pushState == 4);
        content.right -= dpi::scale(kArrowReserve, windowDpi);
    }

    RECT iconRect{0, 0, 0, 0};
    if (imageList)
        button_layout::layoutWithIcon(style, content, SIZE{iconWidth, iconHeight}, iconRect, textRect, format,
                                      windowDpi);
    else
        button_layout::layoutTextOnly(style, content, textRect, format);

    if (imageList)
        drawIcon(*this, memory.get(), look.imageIndex, iconRect, disabled);

    SetTextColor(memory.get(), textColourOf(*this, look.text));
    SetBkMode(memory.get(), TRANSPARENT);
    DrawStateW(memory.get(), nullptr, drawTextProc, reinterpret_cast<LPARAM>(text.c_str()), format, textRect.left,
               textRect.top, textRect.right - textRect.left, textRect.bottom - textRect.top,
               DST_COMPLEX | (disabled ? DSS_DISABLED : 0));
    SetTextColor(memory.get(), 0);

    if (focused && length > 0) {
        RECT focus = textRect;
        InflateRect(&focus, 1, 1);
        DrawFocusRect(memory.get(), &focus);
    }
    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, w, h, memory.get(), 0, 0, SRCCOPY);
    return true;
}
