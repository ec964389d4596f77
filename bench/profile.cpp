// Where the time of one menu item goes: each drawing call that the item's
// measurement and paint make, timed alone on a memory DC like the menu's,
// beside cheaper calls that reach the same result.
#include "figures.h"
#include "gdi_owners.h"
#include "host_windows.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <vector>
#include <functional>
#include <string>

namespace bench {

namespace {

struct Call {
    const char* what;
    std::function<void()> run;
};

}  // namespace

// Pixels that differ between an image drawn through an icon (ImageList_GetIcon,
// DrawStateA) and drawn straight from the list (ImageList_Draw), on the menu
// colour; -1 when the comparison could not be made.
int iconAndListDifference(HIMAGELIST images, int index)
{
    int width = 0, height = 0;
    ImageList_GetIconSize(images, &width, &height);
    width += 4;
    height += 4;
    owners::MemoryDc dc;
    {
        owners::WindowDc screen(nullptr);
        dc.reset(CreateCompatibleDC(screen.get()));
    }
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    auto draw = [&](bool throughIcon) {
        void* bits = nullptr;
        owners::Bitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        std::vector<uint32_t> pixels;
        if (!bitmap)
            return pixels;
        owners::Selection selected(dc.get(), bitmap.get());
        RECT all = {0, 0, width, height};
        owners::Brush menu(CreateSolidBrush(GetSysColor(COLOR_MENU)));
        FillRect(dc.get(), &all, menu.get());
        if (throughIcon) {
            owners::Icon icon(ImageList_GetIcon(images, index, ILD_NORMAL));
            DrawStateA(dc.get(), nullptr, nullptr, reinterpret_cast<LPARAM>(icon.get()), 0, 2, 2, width - 4, height - 4,
                       DST_ICON);
        } else {
            ImageList_Draw(images, index, dc.get(), 2, 2, ILD_TRANSPARENT);
        }
        GdiFlush();
        const auto* p = static_cast<const uint32_t*>(bits);
        pixels.assign(p, p + static_cast<size_t>(width) * height);
        return pixels;
    };
    std::vector<uint32_t> icon = draw(true), list = draw(false);
    if (icon.empty() || icon.size() != list.size())
        return -1;
    int differing = 0;
    for (size_t i = 0; i < icon.size(); ++i)
        differing += (icon[i] & 0xFFFFFF) != (list[i] & 0xFFFFFF);
    return differing;
}

void profileMenuItem(Context& context)
{
    // An image list like the library's, from the same 24-bit toolbar bitmap.
    owners::ImageList imagesOwned(ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 10));
    owners::Bitmap strip(static_cast<HBITMAP>(
        LoadImageA(context.module, MAKEINTRESOURCEA(kPopupToolbar), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!imagesOwned || !strip || ImageList_AddMasked(imagesOwned.get(), strip.get(), RGB(0xC0, 0xC0, 0xC0)) < 0) {
        context.problem("profile: the image list could not be made");
        return;
    }
    strip.reset();
    HIMAGELIST images = imagesOwned.get();
    context.report.findings.push_back("A 16 × 16 toolbar image drawn through an icon (ImageList_GetIcon, DrawStateA) and "
                                      "straight from its list (ImageList_Draw) differs in " +
                                      std::to_string(iconAndListDifference(images, 0)) + " pixels.");
    const int width = 172, height = 20, iterations = context.fast ? 5 : 200;
    OffscreenSurface surface = screenCompatibleSurface(width, height);
    HDC dc = surface.dc.get();
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    owners::Font font(CreateFontIndirectA(&metrics.lfMenuFont));
    owners::Selection bitmapSelected(dc, surface.bitmap.get());
    owners::Selection fontSelected(dc, font.get());
    owners::Region emptyOwned(CreateRectRgn(0, 0, 0, 0));
    HRGN empty = emptyOwned.get();
    owners::Bitmap greyOwned(CreateCompatibleBitmap(dc, 16, 16));
    HBITMAP grey = greyOwned.get();
    owners::Icon iconOwned(ImageList_GetIcon(images, 0, ILD_NORMAL));
    HICON icon = iconOwned.get();
    // The library's draw of a registered image: its mask and its colours
    // on black, kept in memory DCs, put on the item with two blits.
    owners::MemoryDc maskDc(CreateCompatibleDC(dc)), colourDc(CreateCompatibleDC(dc));
    owners::Bitmap maskCopy(CreateBitmap(16, 16, 1, 1, nullptr)), colourCopy(CreateCompatibleBitmap(dc, 16, 16));
    owners::Selection maskSelected(maskDc.get(), maskCopy.get());
    owners::Selection colourSelected(colourDc.get(), colourCopy.get());
    {
        RECT cell = {0, 0, 16, 16};
        FillRect(maskDc.get(), &cell, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        FillRect(colourDc.get(), &cell, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ImageList_Draw(images, 0, maskDc.get(), 0, 0, ILD_MASK);
        ImageList_Draw(images, 0, colourDc.get(), 0, 0, ILD_TRANSPARENT);
    }
    // What the system does for an item whose hbmpItem is a 24-bit DIB section.
    BITMAPINFO dibInfo = {};
    dibInfo.bmiHeader = {sizeof dibInfo.bmiHeader, 16, 16, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* dibBits = nullptr;
    owners::Bitmap itemDib(CreateDIBSection(dc, &dibInfo, DIB_RGB_COLORS, &dibBits, nullptr, 0));
    using MetricForDpiFn = int(WINAPI*)(int, UINT);
    const auto metricForDpi = reinterpret_cast<MetricForDpiFn>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "GetSystemMetricsForDpi"));
    const char* label = "Command 1";
    const int length = static_cast<int>(std::strlen(label));
    RECT item = {0, 0, width, height};

    std::vector<Call> calls = {
        {"CreateICA(\"DISPLAY\") and DeleteDC",
         [] { DeleteDC(CreateICA("DISPLAY", nullptr, nullptr, nullptr)); }},
        {"GetDC(NULL) and ReleaseDC (once per measured item before measurement kept its DC)",
         [] { ReleaseDC(nullptr, GetDC(nullptr)); }},
        {"GetTextExtentPoint32A (three per painted item)",
         [&] {
             SIZE s;
             GetTextExtentPoint32A(dc, label, length, &s);
         }},
        {"two pens, four lines (one frame; two frames per item)",
         [&] {
             HPEN light = CreatePen(PS_SOLID, 0, RGB(255, 255, 255)), dark = CreatePen(PS_SOLID, 0, RGB(128, 128, 128));
             HGDIOBJ old = SelectObject(dc, light);
             MoveToEx(dc, 0, height - 1, nullptr);
             LineTo(dc, 0, 0);
             LineTo(dc, width - 1, 0);
             SelectObject(dc, dark);
             LineTo(dc, width - 1, height - 1);
             LineTo(dc, -1, height - 1);
             SelectObject(dc, old);
             DeleteObject(light);
             DeleteObject(dark);
         }},
        {"ImageList_GetIcon and DestroyIcon", [&] { DestroyIcon(ImageList_GetIcon(images, 0, ILD_NORMAL)); }},
        {"DrawStateA(DST_ICON) of that icon",
         [&] { DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, 2, 2, 16, 16, DST_ICON); }},
        {"ImageList_Draw(ILD_TRANSPARENT) of the same image (once per painted item before the kept copies)",
         [&] { ImageList_Draw(images, 0, dc, 2, 2, ILD_TRANSPARENT); }},
        {"two BitBlts from kept copies of the image's mask and colours (the library's image draw)",
         [&] {
             COLORREF text = SetTextColor(dc, RGB(0, 0, 0)), back = SetBkColor(dc, RGB(255, 255, 255));
             BitBlt(dc, 2, 2, 16, 16, maskDc.get(), 0, 0, SRCAND);
             SetTextColor(dc, text);
             SetBkColor(dc, back);
             BitBlt(dc, 2, 2, 16, 16, colourDc.get(), 0, 0, SRCPAINT);
         }},
        {"CreateCompatibleDC, SelectObject of a 16×16 DIB section, BitBlt, DeleteDC (the system's hbmpItem draw)",
         [&] {
             HDC memory = CreateCompatibleDC(dc);
             HGDIOBJ old = SelectObject(memory, itemDib.get());
             BitBlt(dc, 2, 2, 16, 16, memory, 0, 0, SRCCOPY);
             SelectObject(memory, old);
             DeleteDC(memory);
         }},
        {"GetSystemMetricsForDpi(SM_CXMENUCHECK) (once per measured item before it was kept)",
         [&] {
             if (metricForDpi)
                 metricForDpi(SM_CXMENUCHECK, 96);
         }},
        {"DrawStateA(DST_PREFIXTEXT) of the label (two per item)",
         [&] {
             DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(label), length, 24, 3, 60, 14, DST_PREFIXTEXT);
         }},
        {"DrawTextA of the same label",
         [&] {
             RECT r = {24, 3, 84, 17};
             DrawTextA(dc, label, length, &r, DT_SINGLELINE | DT_LEFT | DT_TOP);
         }},
        {"greyscale steps: CreateCompatibleBitmap 16×16 and CreateCompatibleDC, then deleted",
         [&] {
             HBITMAP b = CreateCompatibleBitmap(dc, 16, 16);
             HDC m = CreateCompatibleDC(dc);
             DeleteDC(m);
             DeleteObject(b);
         }},
        {"greyscale steps: GetDIBits and SetDIBits of 16×16 at 24 bits",
         [&] {
             BITMAPINFO info = {};
             info.bmiHeader = {sizeof info.bmiHeader, 16, 16, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
             unsigned char pixels[16 * 48];
             GetDIBits(dc, grey, 0, 16, pixels, &info, DIB_RGB_COLORS);
             SetDIBits(dc, grey, 0, 16, pixels, &info, DIB_RGB_COLORS);
         }},
        {"SelectClipRgn(empty) and SelectClipRgn(NULL)",
         [&] {
             SelectClipRgn(dc, empty);
             SelectClipRgn(dc, nullptr);
         }},
        {"FillRect of the whole item with a new brush",
         [&] {
             HBRUSH b = CreateSolidBrush(GetSysColor(COLOR_MENU));
             FillRect(dc, &item, b);
             DeleteObject(b);
         }},
    };
    // In turns, like the figures, so that a burst of other work on the
    // machine reaches every call alike.
    std::vector<Sample> samples;
    for (const Call& call : calls)
        samples.push_back([&] { return timePerCall(iterations, call.run); });
    std::vector<Stats> times = interleaveAll(context.reps(3, 21), samples);
    for (size_t i = 0; i < calls.size(); ++i)
        context.report.profile.push_back({"3, 4", calls[i].what, times[i]});
}

}  // namespace bench
