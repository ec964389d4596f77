// Lays the pictures out row by row, wrapping at the page width, and paints
// captions and pictures with GDI into one 32-bit bitmap.
#include "contact_sheet.h"

#include <algorithm>

#include "gdi_owners.h"

namespace showcase {
namespace {

constexpr int kMargin = 16;
constexpr int kGap = 14;
constexpr int kCaptionHeight = 18;
constexpr int kTitleHeight = 30;
constexpr COLORREF kPaper = RGB(250, 250, 247);
constexpr COLORREF kInk = RGB(40, 40, 40);

struct Placed {
    const SheetEntry* entry;
    int x, y;
};

struct Layout {
    std::vector<Placed> pictures;
    std::vector<std::pair<const SheetSection*, int>> titles;  // section and its y
    int height = 0;
};

int cellWidth(const SheetEntry& e, HDC dc)
{
    SIZE text{};
    GetTextExtentPoint32A(dc, e.caption.c_str(), static_cast<int>(e.caption.size()), &text);
    return std::max<int>(e.picture.width * e.scale, text.cx);
}

Layout layOut(const std::vector<SheetSection>& sections, int width, HDC dc)
{
    Layout layout;
    int y = kMargin + kTitleHeight;
    for (const auto& section : sections) {
        layout.titles.push_back({&section, y});
        y += kTitleHeight;
        int x = kMargin;
        int rowHeight = 0;
        for (const auto& entry : section.entries) {
            const int w = cellWidth(entry, dc);
            const int h = kCaptionHeight + entry.picture.height * entry.scale;
            if (x > kMargin && x + w > width - kMargin) {
                x = kMargin;
                y += rowHeight + kGap;
                rowHeight = 0;
            }
            layout.pictures.push_back({&entry, x, y});
            x += w + kGap;
            rowHeight = std::max(rowHeight, h);
        }
        y += rowHeight + kGap * 2;
    }
    layout.height = y + kMargin;
    return layout;
}

void drawPicture(HDC dc, const Picture& p, int x, int y, int scale)
{
    BITMAPINFO info = topDownInfo(p.width, p.height);
    StretchDIBits(dc, x, y, p.width * scale, p.height * scale, 0, 0, p.width, p.height, p.pixels.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
}

owners::Font boldFont(int height)
{
    return owners::Font(CreateFontA(-height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma"));
}

void drawText(HDC dc, const std::string& text, int x, int y, int w, int h)
{
    RECT r{x, y, x + w, y + h};
    DrawTextA(dc, text.c_str(), -1, &r, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace

Picture composeSheet(const std::string& title, const std::vector<SheetSection>& sections, int width)
{
    owners::MemoryDc measuring(CreateCompatibleDC(nullptr));
    owners::Selection measureFont(measuring.get(), GetStockObject(DEFAULT_GUI_FONT));
    const Layout layout = layOut(sections, width, measuring.get());

    Picture sheet;
    sheet.width = width;
    sheet.height = layout.height;
    sheet.pixels.assign(static_cast<size_t>(width) * layout.height, 0);

    BITMAPINFO info = topDownInfo(width, layout.height);
    void* bits = nullptr;
    owners::Bitmap dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    owners::MemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dib || !dc || !bits)
        return {};
    {
        owners::Selection selectBitmap(dc.get(), dib.get());
        owners::Selection selectFont(dc.get(), GetStockObject(DEFAULT_GUI_FONT));
        owners::Brush paper(CreateSolidBrush(kPaper));
        RECT all{0, 0, width, layout.height};
        FillRect(dc.get(), &all, paper.get());
        SetBkMode(dc.get(), TRANSPARENT);
        SetTextColor(dc.get(), kInk);
        {
            owners::Font titleFont = boldFont(18);
            owners::Selection selectTitle(dc.get(), titleFont.get());
            drawText(dc.get(), title, kMargin, kMargin, width - 2 * kMargin, kTitleHeight);
        }
        {
            owners::Font sectionFont = boldFont(13);
            owners::Selection selectSection(dc.get(), sectionFont.get());
            for (const auto& [section, y] : layout.titles)
                drawText(dc.get(), section->title, kMargin, y + 6, width - 2 * kMargin, kTitleHeight);
        }
        for (const auto& placed : layout.pictures) {
            drawText(dc.get(), placed.entry->caption, placed.x, placed.y, width, kCaptionHeight);
            drawPicture(dc.get(), placed.entry->picture, placed.x, placed.y + kCaptionHeight, placed.entry->scale);
        }
        GdiFlush();
    }
    const auto* p = static_cast<const std::uint32_t*>(bits);
    sheet.pixels.assign(p, p + sheet.pixels.size());
    for (auto& pixel : sheet.pixels)
        pixel &= 0x00FFFFFF;
    return sheet;
}

}  // namespace showcase
