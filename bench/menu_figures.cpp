// Figures of the menu library: open and close of a popup with images on an
// installed window against the same popup on a window that is not installed
// (at several popup sizes), one item painted in the greyscale look against
// the colour look, and the loading and reloading of toolbar images.
#include "figures.h"
#include "host_windows.h"

#include "gdi_owners.h"
#include "nellolib.h"

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bench {

namespace {

constexpr int kItemsPerColumn = 25;  // keeps the largest popup on the screen
constexpr UINT_PTR kStuckMenuTimer = 1;

// What the owner does once the open popup is idle; when unset it closes it.
std::function<void(HWND)> g_onMenuIdle;
bool g_closedByTimer = false;

LRESULT CALLBACK ownerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ENTERIDLE:
        if (wParam == MSGF_MENU) {
            if (g_onMenuIdle)
                g_onMenuIdle(window);
            EndMenu();
        }
        return 0;
    case WM_TIMER:
        if (wParam == kStuckMenuTimer) {
            g_closedByTimer = true;
            EndMenu();
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

// Hidden: popups open from hidden owners as from shown ones, and a hidden
// window is destroyed at once (a shown one makes wine wait for the X server).
HWND createOwner(int x)
{
    static ATOM registered = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ownerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "TavroBenchMenuOwner";
        return RegisterClassA(&wc);
    }();
    if (!registered)
        return nullptr;
    return CreateWindowExA(0, "TavroBenchMenuOwner", "menu owner", WS_POPUP, x, 1000, 20, 20, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

// Items "Command n\tCtrl+n" with commands first, first + 1, ..., in columns.
HMENU createPopup(int items, uint16_t firstCommand)
{
    HMENU menu = CreatePopupMenu();
    for (int i = 0; i < items; ++i) {
        char text[64];
        std::snprintf(text, sizeof text, "Command %d\tCtrl+%d", i + 1, i + 1);
        UINT flags = MF_STRING | (i > 0 && i % kItemsPerColumn == 0 ? MF_MENUBARBREAK : 0);
        AppendMenuA(menu, flags, firstCommand + i, text);
    }
    return menu;
}

// Opens the popup from the owner and returns when the owner has closed it.
double openAndClose(HWND owner, HMENU menu)
{
    pumpMessages();
    SetTimer(owner, kStuckMenuTimer, 5000, nullptr);
    double start = now();
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, 0, 0, 0, owner, nullptr);
    double seconds = now() - start;
    KillTimer(owner, kStuckMenuTimer);
    return seconds;
}

namespace {

// Counts the owner-draw traffic of one opening.
HHOOK g_menuHook = nullptr;
int g_measured = 0;
int g_drawn = 0;

LRESULT CALLBACK countMenuTraffic(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && m->message == WM_MEASUREITEM &&
        reinterpret_cast<const MEASUREITEMSTRUCT*>(m->lParam)->CtlType == ODT_MENU)
        ++g_measured;
    if (code == HC_ACTION && m->message == WM_DRAWITEM &&
        reinterpret_cast<const DRAWITEMSTRUCT*>(m->lParam)->CtlType == ODT_MENU)
        ++g_drawn;
    return CallNextHookEx(g_menuHook, code, wParam, lParam);
}

// Items still owner-drawn or carrying item data.
int convertedItems(HMENU menu)
{
    int converted = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        if ((info.fType & MFT_OWNERDRAW) || info.dwItemData)
            ++converted;
    }
    return converted;
}

std::string verifyOpening(Context& context, HWND installed, HMENU menu, int items)
{
    g_measured = g_drawn = 0;
    g_closedByTimer = false;
    g_menuHook = SetWindowsHookExA(WH_CALLWNDPROC, countMenuTraffic, nullptr, GetCurrentThreadId());
    openAndClose(installed, menu);
    UnhookWindowsHookEx(g_menuHook);
    g_menuHook = nullptr;
    int left = convertedItems(menu);
    char text[240];
    std::snprintf(text, sizeof text,
                  "one opening of the %d-item popup on the installed window: %d items measured, %d painted, "
                  "%d left converted after the close; closed from WM_ENTERIDLE%s",
                  items, g_measured, g_drawn, left, g_closedByTimer ? " (no: by the fallback timer)" : "");
    if (g_measured != items || g_drawn < items || left != 0 || g_closedByTimer)
        context.problem(std::string("popup: ") + text);
    return text;
}

// The images of the popup toolbar as the system's own image items carry
// them: one 16 x 16 bitmap per item, either compatible with the screen or a
// 24-bit DIB section, cut from the same strip the library registers.
class ItemBitmaps {
public:
    ItemBitmaps(HINSTANCE module, bool dibSections)
    {
        owners::Bitmap strip(static_cast<HBITMAP>(
            LoadImageA(module, MAKEINTRESOURCEA(kPopupToolbar), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        owners::WindowDc screen(nullptr);
        owners::MemoryDc from(CreateCompatibleDC(screen.get())), to(CreateCompatibleDC(screen.get()));
        if (!strip || !from || !to)
            return;
        owners::Selection stripSelected(from.get(), strip.get());
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof info.bmiHeader, 16, 16, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        for (int i = 0; i < kPopupItemsMax; ++i) {
            void* bits = nullptr;
            owners::Bitmap image(dibSections ? CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                                             : CreateCompatibleBitmap(screen.get(), 16, 16));
            if (!image)
                return;
            owners::Selection selected(to.get(), image.get());
            BitBlt(to.get(), 0, 0, 16, 16, from.get(), i * 16, 0, SRCCOPY);
            bitmaps_.push_back(std::move(image));
        }
    }
    bool ok() const { return bitmaps_.size() == kPopupItemsMax; }
    HBITMAP operator[](int i) const { return bitmaps_[i].get(); }

private:
    std::vector<owners::Bitmap> bitmaps_;
};

// The same popup, every item with its image as hbmpItem.
HMENU createImagePopup(int items, const ItemBitmaps& bitmaps)
{
    HMENU menu = createPopup(items, kPopupFirstCommand);
    for (int i = 0; i < items; ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_BITMAP;
        info.hbmpItem = bitmaps[i];
        SetMenuItemInfoA(menu, i, TRUE, &info);
    }
    return menu;
}

// Items whose hbmpItem is set.
int itemsWithBitmap(HMENU menu)
{
    int with = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_BITMAP;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        with += info.hbmpItem != nullptr;
    }
    return with;
}

// One size of the popup: the installed window's popup against the same popup
// on a window that is not installed with its images as DIB sections and as
// screen-compatible bitmaps, all three in turns.
struct PopupSizes {
    Figure againstDib;
    Figure againstCompatible;
};

PopupSizes popup(Context& context, HWND installed, HWND plain, int items, const ItemBitmaps& dibs,
                 const ItemBitmaps& compatibles, const Repetitions& reps)
{
    Figure f;
    f.size = std::to_string(items) + " items";
    f.scale = items;
    f.compared = true;
    HMENU withLibrary = createPopup(items, kPopupFirstCommand);
    HMENU withDibs = createImagePopup(items, dibs);
    HMENU withCompatibles = createImagePopup(items, compatibles);
    f.check = verifyOpening(context, installed, withLibrary, items);
    if (itemsWithBitmap(withDibs) != items || itemsWithBitmap(withCompatibles) != items)
        context.problem("popup " + f.size + ": an item of the system's image popups has no bitmap");
    f.check += "; every item of both anchors carries its image as hbmpItem";
    g_closedByTimer = false;
    std::vector<Stats> times = interleaveAll(reps, {[&] { return openAndClose(installed, withLibrary); },
                                                    [&] { return openAndClose(plain, withDibs); },
                                                    [&] { return openAndClose(plain, withCompatibles); }});
    if (g_closedByTimer)
        context.problem("popup " + f.size + ": a timed opening was closed by the fallback timer");
    f.library = times[0];
    PopupSizes sizes{f, f};
    sizes.againstDib.system = times[1];
    sizes.againstDib.target = 1.15;
    sizes.againstCompatible.system = times[2];
    DestroyMenu(withLibrary);
    DestroyMenu(withDibs);
    DestroyMenu(withCompatibles);
    return sizes;
}

// The cost of one more item on each side: the slope of the least-squares line
// through the medians of a growth series.
Figure perAddedItem(const std::vector<Figure>& series)
{
    double n = 0, sx = 0, sxx = 0, sl = 0, sxl = 0, ss = 0, sxs = 0;
    for (const Figure& f : series) {
        n += 1;
        sx += f.scale;
        sxx += double(f.scale) * f.scale;
        sl += f.library.median;
        sxl += f.scale * f.library.median;
        ss += f.system.median;
        sxs += f.scale * f.system.median;
    }
    Figure per;
    per.compared = true;
    const double spread = n * sxx - sx * sx;
    if (n < 2 || spread <= 0)
        return per;
    auto slope = [&](double sy, double sxy) {
        Stats s;
        s.median = s.min = s.max = (n * sxy - sx * sy) / spread;
        s.samples = static_cast<int>(n);
        return s;
    };
    per.library = slope(sl, sxl);
    per.system = slope(ss, sxs);
    return per;
}

// Pixels of a 32-bit copy of the bitmap whose channels differ: the coloured ones.
int colouredPixels(HDC dc, HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    int coloured = 0;
    for (uint32_t p : pixels) {
        uint8_t b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
        coloured += !(r == g && g == b);
    }
    return coloured;
}

// The item data, identifier and on-screen size of an item of the open popup.
struct OpenItem {
    MENUITEMINFOA info = {};
    int width = 0;
    int height = 0;
    bool converted() const { return (info.fType & MFT_OWNERDRAW) && info.dwItemData && width > 0 && height > 0; }
};

OpenItem openItem(HWND owner, HMENU menu, int position)
{
    OpenItem item;
    item.info.cbSize = sizeof item.info;
    item.info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID;
    GetMenuItemInfoA(menu, position, TRUE, &item.info);
    RECT r = {};
    GetMenuItemRect(owner, menu, position, &r);
    item.width = r.right - r.left;
    item.height = r.bottom - r.top;
    return item;
}

DRAWITEMSTRUCT drawItemFor(const OpenItem& item, HMENU menu, HDC dc)
{
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_MENU;
    dis.itemID = item.info.wID;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = reinterpret_cast<HWND>(menu);
    dis.hDC = dc;
    dis.rcItem = {0, 0, item.width, item.height};
    dis.itemData = item.info.dwItemData;
    return dis;
}

// Runs inside the open popup: WM_DRAWITEM for its first item, with the
// item's own data, sent to the installed window into a memory DC, in both
// looks; beside it the paint of an item without image and the measurement.
void greyItem(Context& context, HWND owner, HMENU menu, int imagelessPosition, Figure& f)
{
    OpenItem withImage = openItem(owner, menu, 0);
    OpenItem imageless = openItem(owner, menu, imagelessPosition);
    if (!withImage.converted() || !imageless.converted()) {
        context.problem("greyscale item: the items of the open popup are not converted or have no size");
        return;
    }
    const int width = withImage.width, height = withImage.height;
    OffscreenSurface surface = screenCompatibleSurface(width, height);
    HDC memory = surface.dc.get();
    HBITMAP bitmap = surface.bitmap.get();
    // Selected while painting; taken out for reading the pixels back.
    std::optional<owners::Selection> selected(std::in_place, memory, bitmap);

    DRAWITEMSTRUCT dis = drawItemFor(withImage, menu, memory);
    DRAWITEMSTRUCT plainDis = drawItemFor(imageless, menu, memory);
    MEASUREITEMSTRUCT mis = {};
    auto paint = [&] { SendMessageA(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)); };
    auto paintImageless = [&] { SendMessageA(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&plainDis)); };
    auto measureItem = [&] {
        mis = {};
        mis.CtlType = ODT_MENU;
        mis.itemID = withImage.info.wID;
        mis.itemData = withImage.info.dwItemData;
        SendMessageA(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    };
    auto paintedColours = [&](int look) {
        owners::Brush menuColour(CreateSolidBrush(GetSysColor(COLOR_MENU)));
        SelectClipRgn(memory, nullptr);
        FillRect(memory, &dis.rcItem, menuColour.get());
        Nello_SetLookMode(look);
        paint();
        selected.reset();
        int coloured = colouredPixels(memory, bitmap, width, height);
        selected.emplace(memory, bitmap);
        return coloured;
    };
    int colour = paintedColours(0);
    int grey = paintedColours(1);
    measureItem();
    char check[240];
    std::snprintf(check, sizeof check,
                  "first item of the open 100-item popup, %d×%d, WM_DRAWITEM with its own data into a memory DC; "
                  "coloured pixels in look 0: %d, in look 1: %d; 50 paints per sample",
                  width, height, colour, grey);
    f.check = check;
    if (colour <= grey)
        context.problem("greyscale item: look 1 did not paint the image with fewer coloured pixels than look 0");
    if (mis.itemHeight == 0)
        context.problem("greyscale item: the installed window did not measure the item");

    const int perSample = 50;
    std::vector<Stats> times = interleaveAll(
        context.reps(10, 101), {[&] {
                                    Nello_SetLookMode(1);
                                    return timePerCall(perSample, paint);
                                },
                                [&] {
                                    Nello_SetLookMode(0);
                                    return timePerCall(perSample, paint);
                                },
                                [&] {
                                    Nello_SetLookMode(0);
                                    return timePerCall(perSample, paintImageless);
                                },
                                [&] { return timePerCall(perSample, measureItem); }});
    Nello_SetLookMode(0);
    f.library = times[0];
    f.system = times[1];
    context.report.profile.push_back({"4", "WM_DRAWITEM of the item in look 1 (greyscale image)", times[0]});
    context.report.profile.push_back({"4", "WM_DRAWITEM of the item in look 0 (colour image)", times[1]});
    context.report.profile.push_back({"3, 4", "WM_DRAWITEM of an item without image", times[2]});
    context.report.profile.push_back({"3", "WM_MEASUREITEM of the item", times[3]});
}

// The popup's cost in parts: the installed window with and without images
// against the window that is not installed.
void profilePopup(Context& context, HWND installed, HWND plain)
{
    const int items = 100;
    HMENU withImages = createPopup(items, kPopupFirstCommand);
    HMENU imageless = createPopup(items, kImagelessFirstCommand);
    HMENU without = createPopup(items, kPopupFirstCommand);
    // The library's own work at the opening and at the close, without the
    // menu loop: the messages that convert the popup and give it back.
    HMENU converted = createPopup(items, kPopupFirstCommand);
    auto convertAndGiveBack = [&] {
        pumpMessages();
        double start = now();
        SendMessageA(installed, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(converted), MAKELPARAM(0, FALSE));
        SendMessageA(installed, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        return now() - start;
    };
    SendMessageA(installed, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(converted), MAKELPARAM(0, FALSE));
    const bool wasConverted = convertedItems(converted) == items;
    SendMessageA(installed, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    if (!wasConverted || convertedItems(converted) != 0)
        context.problem("profile: WM_INITMENUPOPUP did not convert every item, or the close did not give them back");
    std::vector<Stats> times = interleaveAll(context.reps(3, 21), {[&] { return openAndClose(installed, withImages); },
                                                                  [&] { return openAndClose(installed, imageless); },
                                                                  [&] { return openAndClose(plain, without); },
                                                                  convertAndGiveBack});
    const char* what[] = {"open and close, 100 items with images, installed window",
                          "open and close, 100 items without images, installed window",
                          "open and close, 100 items, window not installed",
                          "WM_INITMENUPOPUP and the close (WM_MENUSELECT 0xFFFF, NULL) alone, 100 items with images: "
                          "conversion and give-back"};
    for (size_t i = 0; i < times.size(); ++i)
        context.report.profile.push_back({"3", what[i], times[i]});
    DestroyMenu(withImages);
    DestroyMenu(imageless);
    DestroyMenu(without);
    DestroyMenu(converted);
}

// Toolbar loading: one 40-button 24-bit toolbar, timed alone.
void loadToolbar(Context& context)
{
    Figure f;
    f.key = "load_toolbar";
    f.title = "5a. Nello_LoadToolbar, 40 buttons, 24-bit";
    f.group = "main";
    bool allLoaded = true;
    f.library = measure(context.reps(5, 51), [&] {
        Nello_UnLoadToolbars();
        double start = now();
        allLoaded = Nello_LoadToolbar(context.module, kLoadToolbar) && allLoaded;
        return now() - start;
    });
    Nello_UnLoadToolbars();
    f.check = allLoaded ? "every load returned true; the image list is dropped before each load, untimed"
                        : "a load returned false";
    if (!allLoaded)
        context.problem("Nello_LoadToolbar of the 40-button 24-bit toolbar returned false");
    context.report.figures.push_back(f);
}

// The reload every installed window makes on WM_SYSCOLORCHANGE.
void reloadOnColourChange(Context& context, HWND installed)
{
    Nello_UnLoadToolbars();
    bool registered = true;
    for (int t = 0; t < kReloadToolbars; ++t)
        registered = Nello_LoadToolbar(context.module, kReloadToolbarFirst + t) && registered;
    const int images = kReloadToolbars * kToolbarButtons;
    Figure whole;
    whole.key = "reload_syscolorchange";
    whole.title = "5b. Reload on WM_SYSCOLORCHANGE, 200 images registered";
    whole.group = "main";
    whole.library = measure(context.reps(2, 21), [&] {
        double start = now();
        SendMessageA(installed, WM_SYSCOLORCHANGE, 0, 0);
        return now() - start;
    });
    // After the reload every toolbar is registered again, so a second load is refused.
    bool reRegistered = true;
    for (int t = 0; t < kReloadToolbars; ++t)
        reRegistered = !Nello_LoadToolbar(context.module, kReloadToolbarFirst + t) && reRegistered;
    whole.check = std::string(registered ? "5 toolbars of 40 images registered" : "a toolbar failed to register") +
                  (reRegistered ? "; after the reloads each is registered again" : "; after the reloads a toolbar was missing");
    if (!registered || !reRegistered)
        context.problem("reload: " + whole.check);
    Figure perImage = whole;
    perImage.key = "reload_per_image";
    perImage.title = "5c. Reload on WM_SYSCOLORCHANGE, per image";
    perImage.check.clear();
    for (double* v : {&perImage.library.median, &perImage.library.min, &perImage.library.max})
        *v /= images;
    context.report.figures.push_back(whole);
    context.report.figures.push_back(perImage);
    Nello_UnLoadToolbars();
}

// The popup with images at every size, against both kinds of system image
// popups; the main figures are its 100- and 200-item rows and the slopes.
void popupFigures(Context& context, HWND installed, HWND plain)
{
    ItemBitmaps dibs(context.module, true), compatibles(context.module, false);
    if (!dibs.ok() || !compatibles.ok()) {
        context.problem("popup: the item bitmaps of the system's image popups could not be made");
        return;
    }
    std::vector<int> sizes = context.fast ? std::vector<int>{10, 25} : std::vector<int>{10, 25, 50, 100, 200};
    std::vector<Figure> dibSeries, compatibleSeries;
    for (int items : sizes) {
        PopupSizes row = popup(context, installed, plain, items, dibs, compatibles, context.reps(3, 31));
        dibSeries.push_back(row.againstDib);
        compatibleSeries.push_back(row.againstCompatible);
    }
    const int mainSizes[] = {context.fast ? 10 : 100, context.fast ? 25 : 200};
    const std::string mainTitles[] = {"3. Open and close of a " + std::to_string(mainSizes[0]) +
                                          "-item popup with images, against the same popup with hbmpItem DIB sections",
                                      "3b. The same with " + std::to_string(mainSizes[1]) + " items"};
    for (int m = 0; m < 2; ++m)
        for (const Figure& f : dibSeries)
            if (f.scale == mainSizes[m]) {
                Figure main = f;
                main.key = m ? "popup_large" : "popup";
                main.title = mainTitles[m];
                main.group = "main";
                context.report.figures.push_back(main);
            }
    Figure perItem = perAddedItem(dibSeries);
    perItem.key = "popup_per_item";
    perItem.title = "3c. Cost of one more item (slope from " + dibSeries.front().size + " to " +
                    dibSeries.back().size + "), against the DIB-section popup";
    perItem.group = "main";
    perItem.target = 1.25;
    perItem.check = "least-squares slopes through the medians of the growth series against DIB sections";
    context.report.figures.push_back(perItem);
    for (const Figure& f : compatibleSeries)
        if (f.scale == mainSizes[0]) {
            Figure main = f;
            main.key = "popup_compatible";
            main.title = "3d. The " + std::to_string(mainSizes[0]) +
                         "-item popup against the same popup with hbmpItem screen-compatible bitmaps";
            main.group = "main";
            main.check.clear();
            context.report.figures.push_back(main);
        }
    Figure perCompatible = perAddedItem(compatibleSeries);
    perCompatible.key = "popup_per_item_compatible";
    perCompatible.title = "3e. Cost of one more item, against the screen-compatible popup";
    perCompatible.group = "main";
    context.report.figures.push_back(perCompatible);

    const std::string dibGroup = "Popup growth against hbmpItem DIB sections (items)";
    const std::string compatibleGroup = "Popup growth against hbmpItem screen-compatible bitmaps (items)";
    for (Figure& f : dibSeries) {
        f.key = "popup_dib_" + std::to_string(f.scale);
        f.title = "Open and close";
        f.group = dibGroup;
        context.report.figures.push_back(f);
    }
    for (Figure& f : compatibleSeries) {
        f.key = "popup_compatible_" + std::to_string(f.scale);
        f.title = "Open and close";
        f.group = compatibleGroup;
        f.check.clear();
        context.report.figures.push_back(f);
    }
    describeGrowth(context.report, dibGroup, "item", 1.15);
    describeGrowth(context.report, compatibleGroup, "item", 1.15);
}

}  // namespace

void menuFigures(Context& context)
{
    HWND installed = createOwner(1200);
    HWND plain = createOwner(1240);
    if (!installed || !plain || !Nello_Install(installed)) {
        context.problem("menus: the owner windows could not be created or installed");
        return;
    }
    if (!Nello_LoadToolbar(context.module, kPopupToolbar))
        context.problem("menus: Nello_LoadToolbar of the popup images (24-bit) returned false");

    Figure grey;
    grey.key = "greyscale_item";
    grey.title = "4. One item painted in look 1 (greyscale image) against look 0";
    grey.group = "main";
    grey.compared = true;
    grey.target = 1.10;
    HMENU menu = createPopup(100, kPopupFirstCommand);
    AppendMenuA(menu, MF_STRING, kImagelessFirstCommand, "No image\tCtrl+N");
    g_onMenuIdle = [&](HWND owner) { greyItem(context, owner, menu, 100, grey); };
    openAndClose(installed, menu);
    g_onMenuIdle = nullptr;
    DestroyMenu(menu);
    context.report.figures.push_back(grey);

    popupFigures(context, installed, plain);
    profilePopup(context, installed, plain);
    profileMenuItem(context);
    loadToolbar(context);
    reloadOnColourChange(context, installed);

    Nello_UnInstall(installed);
    DestroyWindow(installed);
    DestroyWindow(plain);
    pumpMessages();
}

}  // namespace bench
