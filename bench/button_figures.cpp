// Figures of the push-button library: the paint of one attached button with
// icon and text against the system's plain push button, and the routing of
// mouse moves through the registry of attached buttons against a button that
// is not attached, at several registry sizes.
#include "figures.h"
#include "host_windows.h"
#include "system_buttons.h"

#include "gdi_owners.h"
#include "tavrolib.h"

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace bench {

namespace {

constexpr int kAttachedId = 101;
constexpr int kPlainId = 102;
constexpr int kIconlessId = 103;
constexpr int kClassicId = 104;
constexpr int kThemedId = 105;
constexpr int kMouseMoves = 10000;

// Counts the WM_DRAWITEM messages a dialog receives while a hook is set.
HHOOK g_drawHook = nullptr;
int g_drawItems = 0;

LRESULT CALLBACK countDrawItems(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_DRAWITEM)
        ++g_drawItems;
    return CallNextHookEx(g_drawHook, code, wParam, lParam);
}

int drawItemsDuring(void (*action)(HWND), HWND window)
{
    g_drawItems = 0;
    g_drawHook = SetWindowsHookExA(WH_CALLWNDPROC, countDrawItems, nullptr, GetCurrentThreadId());
    action(window);
    UnhookWindowsHookEx(g_drawHook);
    g_drawHook = nullptr;
    return g_drawItems;
}

void repaint(HWND button) { RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }

// The icon as the library holds it: an image list made from the resource.
owners::ImageList iconList(HINSTANCE module, UINT colours)
{
    owners::Icon icon(
        static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(kButtonIcon), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR)));
    if (!icon)
        return owners::ImageList();
    ICONINFO info = {};
    BITMAP bits = {};
    GetIconInfo(icon.get(), &info);
    owners::Bitmap colour(info.hbmColor), mask(info.hbmMask);
    GetObjectA(colour ? colour.get() : mask.get(), sizeof bits, &bits);
    owners::ImageList list(ImageList_Create(bits.bmWidth, bits.bmWidth, colours | ILC_MASK, 2, 0));
    if (list)
        ImageList_ReplaceIcon(list.get(), -1, icon.get());
    return list;
}

BOOL CALLBACK drawTextCallback(HDC dc, LPARAM text, WPARAM format, int cx, int cy)
{
    RECT r{0, 0, cx, cy};
    DrawTextA(dc, reinterpret_cast<const char*>(text), -1, &r, static_cast<UINT>(format));
    return TRUE;
}

// Where a button paint's time goes: the drawing calls of one paint timed
// alone, on a button's own DC and a memory DC made from it.
void profileButtonCalls(Context& context, HWND button, HFONT font)
{
    owners::ImageList iconsOwned = iconList(context.module, ILC_COLOR8);
    owners::ImageList deepIconsOwned = iconList(context.module, ILC_COLOR32);
    if (!iconsOwned || !deepIconsOwned) {
        context.problem("button profile: the icon could not be put into an image list");
        return;
    }
    HIMAGELIST icons = iconsOwned.get(), deepIcons = deepIconsOwned.get();
    context.report.findings.push_back("The button's icon drawn through an icon (ImageList_GetIcon, DrawStateA) and "
                                      "straight from its list (ImageList_Draw) differs in " +
                                      std::to_string(iconAndListDifference(icons, 0)) + " pixels.");
    owners::WindowDc windowDc(button);
    HDC window = windowDc.get();
    owners::MemoryDc memoryDc(CreateCompatibleDC(window));
    owners::Bitmap surface(CreateCompatibleBitmap(window, 100, 30));
    HDC memory = memoryDc.get();
    owners::Selection surfaceSelected(memory, surface.get());
    owners::Selection fontSelected(memory, font);
    owners::Icon iconOwned(ImageList_GetIcon(icons, 0, ILD_TRANSPARENT));
    HICON icon = iconOwned.get();
    const char* text = "Benchmark";
    const int iterations = context.fast ? 5 : 100;
    struct Call {
        const char* what;
        std::function<void()> run;
    };
    std::vector<Call> calls = {
        {"CreateCompatibleDC, CreateCompatibleBitmap 100×30, DeleteObject, DeleteDC",
         [&] {
             HDC dc = CreateCompatibleDC(window);
             HBITMAP b = CreateCompatibleBitmap(window, 100, 30);
             DeleteObject(b);
             DeleteDC(dc);
         }},
        {"the same with the button's font selected and a text measured in the new DC",
         [&] {
             HDC dc = CreateCompatibleDC(window);
             HBITMAP b = CreateCompatibleBitmap(window, 100, 30);
             HGDIOBJ oldB = SelectObject(dc, b);
             HGDIOBJ oldF = SelectObject(dc, font);
             SIZE size;
             GetTextExtentPoint32A(dc, text, 9, &size);
             SelectObject(dc, oldF);
             SelectObject(dc, oldB);
             DeleteObject(b);
             DeleteDC(dc);
         }},
        {"BitBlt 100×30 from the memory DC to the button's DC",
         [&] { BitBlt(window, 0, 0, 100, 30, memory, 0, 0, SRCCOPY); }},
        {"ImageList_GetIcon and DestroyIcon", [&] { DestroyIcon(ImageList_GetIcon(icons, 0, ILD_TRANSPARENT)); }},
        {"DrawStateA(DST_ICON) of that icon",
         [&] { DrawStateA(memory, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, 4, 4, 0, 0, DST_ICON); }},
        {"ImageList_Draw(ILD_TRANSPARENT) of the same image", [&] { ImageList_Draw(icons, 0, memory, 4, 4, ILD_TRANSPARENT); }},
        {"the same from an ILC_COLOR32 image list",
         [&] { ImageList_Draw(deepIcons, 0, memory, 4, 4, ILD_TRANSPARENT); }},
        {"DrawStateA(DST_COMPLEX) with a DrawTextA callback",
         [&] {
             DrawStateA(memory, nullptr, drawTextCallback, reinterpret_cast<LPARAM>(text), DT_SINGLELINE, 40, 8, 55, 14,
                        DST_COMPLEX);
         }},
        {"DrawTextA of the same text",
         [&] {
             RECT r{40, 8, 95, 22};
             DrawTextA(memory, text, -1, &r, DT_SINGLELINE);
         }},
    };
    // In turns, like the figures, so that a burst of other work on the
    // machine reaches every call alike.
    std::vector<Sample> samples;
    for (const Call& call : calls)
        samples.push_back([&] { return timePerCall(iterations, call.run); });
    std::vector<Stats> times = interleaveAll(context.reps(3, 21), samples);
    for (size_t i = 0; i < calls.size(); ++i)
        context.report.profile.push_back({"1", calls[i].what, times[i]});
}

// The version 6 image buttons beside the attached one, and a plain button.
struct PaintRow {
    HWND dialog = nullptr;
    HWND attached = nullptr;   // the library's: icon and text
    HWND iconless = nullptr;   // the library's: text only
    HWND classic = nullptr;    // version 6 image button, visual style off
    HWND themed = nullptr;     // version 6 image button as the system styles it
    HWND plain = nullptr;      // the system's push button without image
};

// Coloured pixels of a button just repainted.
int colouredAfterRepaint(HWND button)
{
    repaint(button);
    return colouredPixels(button);
}

std::string paintCheck(const PaintRow& row, SIZE icon)
{
    char check[600];
    std::snprintf(check, sizeof check,
                  "one repaint of the attached button sent %d WM_DRAWITEM to the dialog; the version 6 buttons' "
                  "window procedure %s the plain button's; coloured pixels after a repaint: attached %d, version 6 "
                  "classic %d, themed %d, plain %d; visual styles %s; every side the same %d×%d icon, text and font, "
                  "100×30; RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW), 20 per sample",
                  drawItemsDuring(repaint, row.attached),
                  GetWindowLongPtrW(row.classic, GWLP_WNDPROC) != GetWindowLongPtrW(row.plain, GWLP_WNDPROC)
                      ? "differs from"
                      : "is",
                  colouredAfterRepaint(row.attached), colouredAfterRepaint(row.classic),
                  colouredAfterRepaint(row.themed), colouredAfterRepaint(row.plain),
                  visualStylesActive() ? "active" : "not active (both looks classic)", static_cast<int>(icon.cx),
                  static_cast<int>(icon.cy));
    return check;
}

Figure paintFigure(const char* key, const char* title, const Stats& library, const Stats& system, double target)
{
    Figure f;
    f.key = key;
    f.title = title;
    f.group = "main";
    f.compared = true;
    f.library = library;
    f.system = system;
    f.target = target;
    return f;
}

void buttonPaint(Context& context)
{
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    owners::Icon icon(
        static_cast<HICON>(LoadImageA(context.module, MAKEINTRESOURCEA(kButtonIcon), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR)));
    CommonControls6 controls6;
    PaintRow row;
    row.dialog = createDialog(0, 880, 600, 60, true);
    if (row.dialog) {
        row.attached = addPushButton(row.dialog, kAttachedId, "Benchmark", 10, 15, 100, 30, font);
        row.iconless = addPushButton(row.dialog, kIconlessId, "Benchmark", 130, 15, 100, 30, font);
        row.plain = addPushButton(row.dialog, kPlainId, "Benchmark", 250, 15, 100, 30, font);
        row.classic = controls6.addImageButton(row.dialog, kClassicId, L"Benchmark", {370, 15, 470, 45}, font, icon.get());
        row.themed = controls6.addImageButton(row.dialog, kThemedId, L"Benchmark", {490, 15, 590, 45}, font, icon.get());
    }
    if (!row.attached || !row.iconless || !row.plain || !row.classic || !row.themed) {
        context.problem(controls6.ok() ? "button paint: the dialog or its buttons could not be created"
                                       : "button paint: no activation context for the version 6 common controls");
        if (row.dialog)
            DestroyWindow(row.dialog);
        return;
    }
    useClassicLook(row.classic);
    bool ready = Tavro_Install(row.dialog) && Tavro_SetGlisk(row.dialog, kAttachedId, true) &&
                 Tavro_LoadIcons(row.dialog, kAttachedId, context.module, kButtonIcon, 0) &&
                 Tavro_SetGlisk(row.dialog, kIconlessId, true);
    pumpMessages();
    if (!ready) {
        context.problem("button paint: Tavro_Install, Tavro_SetGlisk or Tavro_LoadIcons returned false");
        Tavro_UnInstall(row.dialog);
        return;
    }
    ICONINFO info = {};
    BITMAP bits = {};
    GetIconInfo(icon.get(), &info);
    owners::Bitmap colour(info.hbmColor), mask(info.hbmMask);
    GetObjectA(colour ? colour.get() : mask.get(), sizeof bits, &bits);
    const std::string check = paintCheck(row, {bits.bmWidth, colour ? bits.bmHeight : bits.bmHeight / 2});
    if (drawItemsDuring(repaint, row.attached) != 1)
        context.problem("button paint: a repaint of the attached button did not reach the dialog as one WM_DRAWITEM");
    if (colouredAfterRepaint(row.classic) == 0 || colouredAfterRepaint(row.attached) == 0)
        context.problem("button paint: the version 6 button or the attached one showed no icon");
    const int perSample = 20;
    auto repaints = [&](HWND button) { return timePerCall(perSample, [&] { repaint(button); }); };
    std::vector<Stats> times = interleaveAll(context.reps(20, 200), {[&] { return repaints(row.attached); },
                                                                    [&] { return repaints(row.classic); },
                                                                    [&] { return repaints(row.themed); },
                                                                    [&] { return repaints(row.plain); },
                                                                    [&] { return repaints(row.iconless); }});
    Figure main = paintFigure("button_paint",
                              "1. Paint of a 100×30 push button with icon and text, against the version 6 image "
                              "button in the classic look",
                              times[0], times[1], 0.90);
    main.check = check;
    context.report.figures.push_back(main);
    context.report.figures.push_back(paintFigure(
        "button_paint_themed", "1b. The same against the version 6 image button as the system styles it", times[0],
        times[2], 0));
    context.report.figures.push_back(paintFigure(
        "button_paint_plain", "1c. The same against the system's push button without image", times[0], times[3], 0));
    context.report.profile.push_back({"1", "repaint of the attached button with icon and text", times[0]});
    context.report.profile.push_back({"1", "repaint of the version 6 image button, classic look", times[1]});
    context.report.profile.push_back({"1", "repaint of an attached button with text only", times[4]});
    context.report.profile.push_back({"1", "repaint of the system's plain push button", times[3]});
    profileButtonCalls(context, row.plain, font);
    Tavro_UnInstall(row.dialog);
    // Left shown until the program ends: without a window manager, wine
    // waits two seconds for the X server whenever a shown window is hidden
    // or destroyed. It sits below where the popups open, so that closing
    // them gives it nothing to repaint.
    pumpMessages();
}

// The least any subclassing costs: a procedure that only passes the message on.
WNDPROC g_passOnA = nullptr;
WNDPROC g_passOnW = nullptr;

LRESULT CALLBACK passOnA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(g_passOnA, window, message, wParam, lParam);
}

LRESULT CALLBACK passOnW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(g_passOnW, window, message, wParam, lParam);
}

// dialogs x buttons attached buttons; the ones measured are those of the last
// dialog (the far end of the registry). Beside them a dialog that is not
// installed holds as many buttons under the bare subclass.
struct ButtonRegistry {
    std::vector<HWND> dialogs;
    HWND bareDialog = nullptr;
    std::vector<HWND> attached;  // of the last dialog
    std::vector<HWND> bare;
    bool ok = true;

    ButtonRegistry(int dialogCount, int buttonsPerDialog)
    {
        for (int d = 0; d < dialogCount && ok; ++d) {
            HWND dialog = createDialog(0, 0, 200, 100, false);
            if (!dialog || !Tavro_Install(dialog)) {
                ok = false;
                break;
            }
            dialogs.push_back(dialog);
            attached.clear();
            for (int b = 0; b < buttonsPerDialog; ++b) {
                int id = 100 + b;
                HWND button = addPushButton(dialog, id, "Button", 0, 0, 80, 24, nullptr);
                if (!button || !Tavro_SetGlisk(dialog, id, true)) {
                    ok = false;
                    break;
                }
                attached.push_back(button);
            }
        }
        bareDialog = ok ? createDialog(0, 0, 200, 100, false) : nullptr;
        for (int b = 0; bareDialog && b < buttonsPerDialog; ++b) {
            HWND button = addPushButton(bareDialog, 100 + b, "Button", 0, 0, 80, 24, nullptr);
            if (!button)
                break;
            // Every push button has the same class procedure, so one saved one serves all.
            g_passOnA = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(passOnA)));
            bare.push_back(button);
        }
        ok = ok && bare.size() == attached.size() && attached.size() >= 2;
    }
    ~ButtonRegistry()
    {
        for (HWND dialog : dialogs) {
            Tavro_UnInstall(dialog);
            DestroyWindow(dialog);
        }
        for (HWND button : bare)
            SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_passOnA));
        if (bareDialog)
            DestroyWindow(bareDialog);
        pumpMessages();
    }
};

// kMouseMoves mouse moves, the i-th to buttons[i % buttons.size()].
double mouseMoves(const std::vector<HWND>& buttons)
{
    const size_t n = buttons.size();
    size_t at = 0;
    return timePerCall(kMouseMoves, [&] {
        SendMessageA(buttons[at], WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        if (++at == n)
            at = 0;
    });
}

double mouseMoves(HWND button) { return mouseMoves(std::vector<HWND>{button}); }

// How messages reach the buttons: which of them take the moves in turn.
struct Pattern {
    const char* key;
    const char* title;
    std::vector<HWND> (*pick)(const std::vector<HWND>& buttons);
};

const Pattern kPatterns[] = {
    {"one", "in runs to one button", [](const std::vector<HWND>& b) { return std::vector<HWND>{b.back()}; }},
    {"two", "alternating between two buttons",
     [](const std::vector<HWND>& b) { return std::vector<HWND>{b[b.size() - 2], b.back()}; }},
    {"dialog", "in turn to every button of a dialog", [](const std::vector<HWND>& b) { return b; }},
};

// The three patterns at one registry size, each side in turns with its anchor.
std::vector<Figure> routing(Context& context, int dialogCount, int buttonsPerDialog, const Repetitions& reps)
{
    char size[32];
    std::snprintf(size, sizeof size, "%d × %d", dialogCount, buttonsPerDialog);
    std::vector<Figure> figures;
    ButtonRegistry registry(dialogCount, buttonsPerDialog);
    if (!registry.ok) {
        context.problem(std::string("routing ") + size + ": the dialogs could not be installed or attached");
        return figures;
    }
    bool subclassed = GetWindowLongPtrA(registry.attached.back(), GWLP_WNDPROC) !=
                      GetWindowLongPtrA(registry.bare.back(), GWLP_WNDPROC);
    if (!subclassed)
        context.problem(std::string("routing ") + size + ": the attached button has the bare subclass's procedure");
    for (const Pattern& pattern : kPatterns) {
        std::vector<HWND> library = pattern.pick(registry.attached), anchor = pattern.pick(registry.bare);
        Comparison c = interleave(reps, [&] { return mouseMoves(library); }, [&] { return mouseMoves(anchor); });
        Figure f;
        f.size = size;
        f.scale = dialogCount * buttonsPerDialog;
        f.compared = true;
        f.target = 1.05;
        f.key = pattern.key;
        f.title = pattern.title;
        f.library = c.library;
        f.system = c.system;
        f.check = std::string("the measured buttons are attached ones of the last installed dialog (the far end of "
                              "the registry), ") +
                  std::to_string(library.size()) + " taking the moves in turn; the anchor is as many buttons of a "
                  "dialog that is not installed, each subclassed by a procedure that only calls "
                  "CallWindowProcA; the dialogs are hidden";
        figures.push_back(f);
    }
    return figures;
}

// Where the routing overhead lies: the library's attached button alone in
// the registry against a button that is only subclassed, and one that is not.
void profileRouting(Context& context)
{
    HWND dialog = createDialog(0, 0, 200, 100, false);
    HWND attached = dialog ? addPushButton(dialog, 100, "Button", 0, 0, 80, 24, nullptr) : nullptr;
    HWND plain = dialog ? addPushButton(dialog, 101, "Button", 0, 0, 80, 24, nullptr) : nullptr;
    HWND ansi = dialog ? addPushButton(dialog, 102, "Button", 0, 0, 80, 24, nullptr) : nullptr;
    HWND wide = dialog ? addPushButton(dialog, 103, "Button", 0, 0, 80, 24, nullptr) : nullptr;
    if (!wide || !Tavro_Install(dialog) || !Tavro_SetGlisk(dialog, 100, true)) {
        context.problem("routing profile: the dialog could not be made or installed");
        if (dialog)
            DestroyWindow(dialog);
        return;
    }
    g_passOnA = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(ansi, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(passOnA)));
    g_passOnW = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(wide, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(passOnW)));
    // What finding a record through a window property would add to every message.
    SetPropW(plain, L"TavroBenchRecord", reinterpret_cast<HANDLE>(plain));
    volatile HANDLE property = nullptr;
    auto propertyReads = [&] {
        return timePerCall(kMouseMoves, [&] { property = GetPropW(plain, L"TavroBenchRecord"); });
    };
    std::vector<Stats> times = interleaveAll(context.reps(2, 15), {[&] { return mouseMoves(plain); },
                                                                  [&] { return mouseMoves(ansi); },
                                                                  [&] { return mouseMoves(wide); },
                                                                  [&] { return mouseMoves(attached); },
                                                                  propertyReads});
    RemovePropW(plain, L"TavroBenchRecord");
    const char* what[] = {"WM_MOUSEMOVE to a button that is not subclassed",
                          "the same, subclassed by a procedure that only calls CallWindowProcA (ANSI)",
                          "the same, subclassed by a procedure that only calls CallWindowProcW (Unicode)",
                          "the same, attached to the library, alone in its registry",
                          "GetPropW of a property the button carries (a record found through a window property)"};
    for (size_t i = 0; i < times.size(); ++i)
        context.report.profile.push_back({"2", what[i], times[i]});
    SetWindowLongPtrA(ansi, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_passOnA));
    SetWindowLongPtrW(wide, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_passOnW));
    Tavro_UnInstall(dialog);
    DestroyWindow(dialog);
}

}  // namespace

void buttonFigures(Context& context)
{
    if (context.wants("paint"))
        buttonPaint(context);
    if (!context.wants("routing"))
        return;

    struct Size {
        int dialogs, buttons;
        bool main;
    };
    // The target holds at the two sizes marked main; the others show the growth.
    std::vector<Size> sizes = context.fast ? std::vector<Size>{{1, 4, false}, {2, 4, true}, {5, 4, true}}
                                           : std::vector<Size>{{1, 20, false},
                                                               {10, 20, false},
                                                               {50, 20, true},
                                                               {100, 20, false},
                                                               {200, 20, true}};
    std::vector<Figure> mains, growth;
    for (const Size& s : sizes) {
        for (Figure& f : routing(context, s.dialogs, s.buttons, context.reps(3, 31))) {
            Figure row = f;
            row.group = std::string("Routing growth, ") + f.title + " (dialogs × attached buttons)";
            row.title = "WM_MOUSEMOVE per message";
            row.key = "routing_" + f.key + "_" + std::to_string(s.dialogs) + "x" + std::to_string(s.buttons);
            row.check.clear();  // the same as the main figure's
            growth.push_back(row);
            if (!s.main)
                continue;
            f.group = "main";
            f.key = "routing_" + f.key + (mains.size() >= 3 ? "_large" : "");
            f.title = "2. WM_MOUSEMOVE " + f.title + ", " + f.size + " attached, against the bare subclass";
            mains.push_back(f);
        }
    }
    for (Figure& f : mains)
        context.report.figures.push_back(f);
    for (const Pattern& pattern : kPatterns) {
        std::string group = std::string("Routing growth, ") + pattern.title + " (dialogs × attached buttons)";
        for (const Figure& f : growth)
            if (f.group == group)
                context.report.figures.push_back(f);
        describeGrowth(context.report, group, "attached button", 1.05);
    }
    profileRouting(context);
}

}  // namespace bench
