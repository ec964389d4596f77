// Figures of the push-button library: the paint of one attached button with
// icon and text against the system's plain push button, and the routing of
// mouse moves through the registry of attached buttons against a button that
// is not attached, at several registry sizes.
#include "figures.h"
#include "host_windows.h"

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
HIMAGELIST iconList(HINSTANCE module)
{
    HICON icon = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(kButtonIcon), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    if (!icon)
        return nullptr;
    ICONINFO info = {};
    BITMAP bits = {};
    GetIconInfo(icon, &info);
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bits, &bits);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    HIMAGELIST list = ImageList_Create(bits.bmWidth, bits.bmWidth, ILC_COLOR8 | ILC_MASK, 2, 0);
    if (list)
        ImageList_ReplaceIcon(list, -1, icon);
    DestroyIcon(icon);
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
    HIMAGELIST icons = iconList(context.module);
    if (!icons) {
        context.problem("button profile: the icon could not be put into an image list");
        return;
    }
    HDC window = GetDC(button);
    HDC memory = CreateCompatibleDC(window);
    HBITMAP surface = CreateCompatibleBitmap(window, 100, 30);
    HGDIOBJ oldBitmap = SelectObject(memory, surface);
    HGDIOBJ oldFont = SelectObject(memory, font);
    HICON icon = ImageList_GetIcon(icons, 0, ILD_TRANSPARENT);
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
        {"BitBlt 100×30 from the memory DC to the button's DC",
         [&] { BitBlt(window, 0, 0, 100, 30, memory, 0, 0, SRCCOPY); }},
        {"ImageList_GetIcon and DestroyIcon", [&] { DestroyIcon(ImageList_GetIcon(icons, 0, ILD_TRANSPARENT)); }},
        {"DrawStateA(DST_ICON) of that icon",
         [&] { DrawStateA(memory, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, 4, 4, 0, 0, DST_ICON); }},
        {"ImageList_Draw(ILD_TRANSPARENT) of the same image", [&] { ImageList_Draw(icons, 0, memory, 4, 4, ILD_TRANSPARENT); }},
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
    for (const Call& call : calls) {
        Stats time = measure(context.reps(3, 21), [&] { return timePerCall(iterations, call.run); });
        context.report.profile.push_back({"1", call.what, time});
    }
    DestroyIcon(icon);
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteObject(surface);
    DeleteDC(memory);
    ReleaseDC(button, window);
    ImageList_Destroy(icons);
}

void buttonPaint(Context& context)
{
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HWND dialog = createDialog(0, 0, 360, 60, true);
    HWND attached = dialog ? addPushButton(dialog, kAttachedId, "Benchmark", 10, 15, 100, 30, font) : nullptr;
    HWND plain = dialog ? addPushButton(dialog, kPlainId, "Benchmark", 130, 15, 100, 30, font) : nullptr;
    HWND iconless = dialog ? addPushButton(dialog, kIconlessId, "Benchmark", 250, 15, 100, 30, font) : nullptr;
    if (!attached || !plain || !iconless) {
        context.problem("button paint: the dialog or its buttons could not be created");
        if (dialog)
            DestroyWindow(dialog);
        return;
    }
    bool ready = Tavro_Install(dialog) && Tavro_SetGlisk(dialog, kAttachedId, true) &&
                 Tavro_LoadIcons(dialog, kAttachedId, context.module, kButtonIcon, 0) &&
                 Tavro_SetGlisk(dialog, kIconlessId, true);
    pumpMessages();
    Figure f;
    f.key = "button_paint";
    f.title = "1. Paint of a 100×30 push button with icon and text";
    f.group = "main";
    f.compared = true;
    f.target = 1.5;
    if (!ready) {
        context.problem("button paint: Tavro_Install, Tavro_SetGlisk or Tavro_LoadIcons returned false");
    } else {
        int libraryDraws = drawItemsDuring(repaint, attached);
        int systemDraws = drawItemsDuring(repaint, plain);
        char check[200];
        std::snprintf(check, sizeof check,
                      "one repaint of the attached button sent %d WM_DRAWITEM to the dialog, of the plain one %d; "
                      "both repainted with RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW), 20 per sample",
                      libraryDraws, systemDraws);
        f.check = check;
        if (libraryDraws != 1)
            context.problem("button paint: a repaint of the attached button did not reach the dialog as one WM_DRAWITEM");
        const int perSample = 20;
        auto repaints = [&](HWND button) { return timePerCall(perSample, [&] { repaint(button); }); };
        std::vector<Stats> times = interleaveAll(context.reps(20, 200), {[&] { return repaints(attached); },
                                                                        [&] { return repaints(plain); },
                                                                        [&] { return repaints(iconless); }});
        f.library = times[0];
        f.system = times[1];
        context.report.profile.push_back({"1", "repaint of the attached button with icon and text", times[0]});
        context.report.profile.push_back({"1", "repaint of the system's plain push button", times[1]});
        context.report.profile.push_back({"1", "repaint of an attached button with text only", times[2]});
        profileButtonCalls(context, plain, font);
    }
    context.report.figures.push_back(f);
    Tavro_UnInstall(dialog);
    DestroyWindow(dialog);
    pumpMessages();
}

// dialogs x buttons attached buttons; the one measured is the last attached
// button of the last dialog, the plain one sits beside it unattached.
struct ButtonRegistry {
    std::vector<HWND> dialogs;
    HWND measured = nullptr;
    HWND plain = nullptr;
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
            for (int b = 0; b < buttonsPerDialog; ++b) {
                int id = 100 + b;
                measured = addPushButton(dialog, id, "Button", 0, 0, 80, 24, nullptr);
                if (!measured || !Tavro_SetGlisk(dialog, id, true)) {
                    ok = false;
                    break;
                }
            }
        }
        if (ok)
            plain = addPushButton(dialogs.back(), 99, "Button", 0, 0, 80, 24, nullptr);
        ok = ok && plain && measured;
    }
    ~ButtonRegistry()
    {
        for (HWND dialog : dialogs) {
            Tavro_UnInstall(dialog);
            DestroyWindow(dialog);
        }
        pumpMessages();
    }
};

double mouseMoves(HWND button)
{
    return timePerCall(kMouseMoves, [&] { SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)); });
}

Figure routing(Context& context, int dialogCount, int buttonsPerDialog, const Repetitions& reps)
{
    char size[32];
    std::snprintf(size, sizeof size, "%d × %d", dialogCount, buttonsPerDialog);
    Figure f;
    f.size = size;
    f.scale = dialogCount * buttonsPerDialog;
    f.compared = true;
    ButtonRegistry registry(dialogCount, buttonsPerDialog);
    if (!registry.ok) {
        context.problem(std::string("routing ") + size + ": the dialogs could not be installed or attached");
        return f;
    }
    bool subclassed = GetWindowLongPtrA(registry.measured, GWLP_WNDPROC) != GetWindowLongPtrA(registry.plain, GWLP_WNDPROC);
    if (!subclassed)
        context.problem(std::string("routing ") + size + ": the attached button keeps the system's window procedure");
    f.check = std::string("the measured button is the last attached one of the last dialog (the far end of the "
                          "registry); its window procedure is ") +
              (subclassed ? "the library's" : "still the system's") +
              "; the unattached button is in the same dialog; the dialogs are hidden";
    Comparison c = interleave(reps, [&] { return mouseMoves(registry.measured); },
                              [&] { return mouseMoves(registry.plain); });
    f.library = c.library;
    f.system = c.system;
    return f;
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
    std::vector<Stats> times = interleaveAll(context.reps(2, 15), {[&] { return mouseMoves(plain); },
                                                                  [&] { return mouseMoves(ansi); },
                                                                  [&] { return mouseMoves(wide); },
                                                                  [&] { return mouseMoves(attached); }});
    const char* what[] = {"WM_MOUSEMOVE to a button that is not subclassed",
                          "the same, subclassed by a procedure that only calls CallWindowProcA (ANSI)",
                          "the same, subclassed by a procedure that only calls CallWindowProcW (Unicode)",
                          "the same, attached to the library, alone in its registry"};
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
    buttonPaint(context);

    Figure main = routing(context, context.fast ? 5 : 50, context.fast ? 4 : 20, context.reps(3, 31));
    main.key = "routing";
    main.title = "2. WM_MOUSEMOVE to an attached button, 50 dialogs × 20 buttons installed (per message, batches of 10,000)";
    main.group = "main";
    main.target = 1.10;
    if (context.fast)
        main.title = "2. WM_MOUSEMOVE to an attached button, 5 dialogs × 4 buttons installed (fast run)";
    context.report.figures.push_back(main);

    struct Size {
        int dialogs, buttons;
    };
    std::vector<Size> sizes = context.fast ? std::vector<Size>{{1, 1}, {5, 4}}
                                           : std::vector<Size>{{1, 1}, {10, 20}, {50, 20}, {100, 20}, {200, 20}};
    for (const Size& s : sizes) {
        Figure f = routing(context, s.dialogs, s.buttons, context.reps(2, 15));
        f.key = "routing_" + std::to_string(s.dialogs) + "x" + std::to_string(s.buttons);
        f.title = "WM_MOUSEMOVE per message";
        f.group = "Routing growth (dialogs × attached buttons)";
        f.target = 1.10;
        f.check.clear();  // the same as the main figure's
        context.report.figures.push_back(f);
    }
    describeGrowth(context.report, "Routing growth (dialogs × attached buttons)", "attached button", 1.10);
    profileRouting(context);
}

}  // namespace bench
