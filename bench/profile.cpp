// Where the time of one menu item goes: each drawing call that the item's
// measurement and paint make, timed alone on a memory DC like the menu's,
// beside cheaper calls that reach the same result.
#include "figures.h"

#include <commctrl.h>

#include <cstring>
#include <functional>
#include <string>

namespace bench {

namespace {

struct Call {
    const char* what;
    std::function<void()> run;
};

}  // namespace

void profileMenuItem(Context& context)
{
    // An image list like the library's, from the same 24-bit toolbar bitmap.
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR8 | ILC_MASK, 0, 10);
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageA(context.module, MAKEINTRESOURCEA(kPopupToolbar), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!images || !strip || ImageList_AddMasked(images, strip, RGB(0xC0, 0xC0, 0xC0)) < 0) {
        context.problem("profile: the image list could not be made");
        if (images)
            ImageList_Destroy(images);
        if (strip)
            DeleteObject(strip);
        return;
    }
    DeleteObject(strip);
    const int width = 172, height = 20, iterations = context.fast ? 5 : 200;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previousBitmap = SelectObject(dc, bitmap);
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT font = CreateFontIndirectA(&metrics.lfMenuFont);
    HGDIOBJ previousFont = SelectObject(dc, font);
    HRGN empty = CreateRectRgn(0, 0, 0, 0);
    const char* label = "Command 1";
    const int length = static_cast<int>(std::strlen(label));
    RECT item = {0, 0, width, height};

    std::vector<Call> calls = {
        {"CreateICA(\"DISPLAY\") and DeleteDC (once per measured item)",
         [] { DeleteDC(CreateICA("DISPLAY", nullptr, nullptr, nullptr)); }},
        {"GetDC(NULL) and ReleaseDC", [] { ReleaseDC(nullptr, GetDC(nullptr)); }},
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
         [&] {
             static HICON icon = ImageList_GetIcon(images, 0, ILD_NORMAL);
             DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, 2, 2, 16, 16, DST_ICON);
         }},
        {"ImageList_Draw(ILD_TRANSPARENT) of the same image",
         [&] { ImageList_Draw(images, 0, dc, 2, 2, ILD_TRANSPARENT); }},
        {"DrawStateA(DST_PREFIXTEXT) of the label (two per item)",
         [&] {
             DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(label), length, 24, 3, 60, 14, DST_PREFIXTEXT);
         }},
        {"DrawTextA of the same label",
         [&] {
             RECT r = {24, 3, 84, 17};
             DrawTextA(dc, label, length, &r, DT_SINGLELINE | DT_LEFT | DT_TOP);
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
    for (const Call& call : calls) {
        Stats time = measure(context.reps(3, 21), [&] { return timePerCall(iterations, call.run); });
        context.report.profile.push_back({"3, 4", call.what, time});
    }
    SelectObject(dc, previousFont);
    SelectObject(dc, previousBitmap);
    DeleteObject(empty);
    DeleteObject(font);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ImageList_Destroy(images);
}

}  // namespace bench
