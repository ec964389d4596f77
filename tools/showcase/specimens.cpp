// Drives a 3D and a flat specimen button through the states of the painter's
// table with real messages (hover, press, check, the held arrow area and the
// notify press) and captures each state from the screen.
#include "specimens.h"

#include <functional>

#include "showcase_ids.h"
#include "tavrolib.h"

namespace showcase {
namespace {

constexpr UINT kSpecimen3d = 1;
constexpr UINT kSpecimenFlat = 2;
constexpr int kWidth = 120;
constexpr int kHeight = 34;

struct Specimens {
    HWND parent = nullptr;
    HWND button3d = nullptr;
    HWND buttonFlat = nullptr;
    Picture captured;  // filled inside the press notification
    HWND pressed = nullptr;
};

Specimens* g_specimens = nullptr;

LRESULT CALLBACK specimenParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && g_specimens) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        // The held look shows only while this notification is being handled.
        if (header->code == TAVRO_PRESS_NOTIFICATION && header->hwndFrom == g_specimens->pressed)
            g_specimens->captured = captureWindow(header->hwndFrom);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createSpecimenButton(HWND parent, UINT id, DWORD style, int x, HINSTANCE instance)
{
    HWND button = CreateWindowExA(0, "Button", "Open", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | style, x, 10, kWidth,
                                  kHeight, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance,
                                  nullptr);
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return button;
}

bool createSpecimens(Specimens& s, HINSTANCE instance, POINT where)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = specimenParentProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "ShowcaseSpecimens";
    RegisterClassA(&wc);
    s.parent = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "Specimens", WS_POPUP | WS_VISIBLE, where.x,
                               where.y, 2 * kWidth + 30, kHeight + 20, nullptr, nullptr, instance, nullptr);
    s.button3d = createSpecimenButton(s.parent, kSpecimen3d, 0, 10, instance);
    s.buttonFlat = createSpecimenButton(s.parent, kSpecimenFlat, BS_FLAT, kWidth + 20, instance);
    bool ok = Tavro_Install(s.parent);
    for (UINT id : {kSpecimen3d, kSpecimenFlat}) {
        ok = Tavro_SetGlisk(s.parent, id, true) && ok;
        ok = Tavro_LoadIcons(s.parent, id, instance, IDI_OPEN, IDI_OPEN_GREY) && ok;
    }
    return ok;
}

void pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Puts the button back at rest in the given mode: released, not hot, the
// mouse elsewhere.
void reset(Specimens& s, HWND button, int mode)
{
    SetCursorPos(0, 0);
    SendMessageA(button, BM_SETSTATE, FALSE, 0);
    Tavro_SetMode(s.parent, GetDlgCtrlID(button), mode);
    SendMessageA(button, WM_MOUSELEAVE, 0, 0);
    pump();
}

void hover(HWND button)
{
    RECT r;
    GetWindowRect(button, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(kWidth / 2, kHeight / 2));
}

void select(HWND button)
{
    SendMessageA(button, BM_SETSTATE, TRUE, 0);
    UpdateWindow(button);
}

void check(HWND button, WPARAM state)
{
    SendMessageA(button, BM_SETCHECK, state, 0);
}

// Presses at x; in the arrow strip or on a notify button the picture is
// taken while the parent handles the notification.
Picture pressAndCapture(Specimens& s, HWND button, int x)
{
    s.captured = {};
    s.pressed = button;
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, kHeight / 2));
    s.pressed = nullptr;
    return s.captured;
}

struct Row {
    const char* name;
    const char* caption;
    bool flat;
    int mode;
    std::function<Picture(Specimens&, HWND)> drive;
};

Picture now(HWND button)
{
    UpdateWindow(button);
    return captureWindow(button);
}

const std::vector<Row>& rows()
{
    static const std::vector<Row> table = {
        {"button-3d-at-rest", "3D, at rest", false, TavroPush, [](Specimens&, HWND b) { return now(b); }},
        {"button-3d-selected", "3D, held down", false, TavroPush,
         [](Specimens&, HWND b) { select(b); return now(b); }},
        {"button-3d-checked", "3D, checked", false, TavroToggle,
         [](Specimens&, HWND b) { check(b, BST_CHECKED); return now(b); }},
        {"button-3d-checked-selected", "3D, checked, held", false, TavroToggle,
         [](Specimens&, HWND b) { check(b, BST_CHECKED); select(b); return now(b); }},
        {"button-3d-indeterminate", "3D, indeterminate", false, TavroThreeState,
         [](Specimens&, HWND b) { check(b, BST_INDETERMINATE); return now(b); }},
        {"button-3d-arrow-held", "3D, split arrow held", false, TavroSplitDown,
         [](Specimens& s, HWND b) { return pressAndCapture(s, b, kWidth - 6); }},
        {"button-3d-notify-press", "3D, notify press", false, TavroNotify,
         [](Specimens& s, HWND b) { return pressAndCapture(s, b, kWidth / 2); }},
        {"button-flat-at-rest", "flat, at rest", true, TavroPush, [](Specimens&, HWND b) { return now(b); }},
        {"button-flat-hot", "flat, hot", true, TavroPush, [](Specimens&, HWND b) { hover(b); return now(b); }},
        {"button-flat-hot-selected", "flat, hot, held", true, TavroPush,
         [](Specimens&, HWND b) { hover(b); select(b); return now(b); }},
        {"button-flat-checked", "flat, checked", true, TavroToggle,
         [](Specimens&, HWND b) { check(b, BST_CHECKED); return now(b); }},
        {"button-flat-checked-hot", "flat, checked, hot", true, TavroToggle,
         [](Specimens&, HWND b) { check(b, BST_CHECKED); hover(b); return now(b); }},
        {"button-flat-indeterminate", "flat, indeterminate", true, TavroThreeState,
         [](Specimens&, HWND b) { check(b, BST_INDETERMINATE); return now(b); }},
        {"button-flat-indeterminate-hot", "flat, indeterminate, hot", true, TavroThreeState,
         [](Specimens&, HWND b) { check(b, BST_INDETERMINATE); hover(b); return now(b); }},
        {"button-flat-arrow-held-hot", "flat, split arrow held, hot", true, TavroSplitDown,
         [](Specimens& s, HWND b) { hover(b); return pressAndCapture(s, b, kWidth - 6); }},
        {"button-flat-notify-press-hot", "flat, notify press, hot", true, TavroNotify,
         [](Specimens& s, HWND b) { hover(b); return pressAndCapture(s, b, kWidth / 2); }},
    };
    return table;
}

}  // namespace

std::vector<StatePicture> captureButtonStates(HINSTANCE instance, POINT where, bool* allCallsSucceeded)
{
    Specimens s;
    g_specimens = &s;
    bool ok = createSpecimens(s, instance, where);
    SetForegroundWindow(s.parent);
    pump();
    std::vector<StatePicture> pictures;
    for (const auto& row : rows()) {
        HWND button = row.flat ? s.buttonFlat : s.button3d;
        reset(s, button, row.mode);
        pictures.push_back({row.name, row.caption, row.drive(s, button)});
        reset(s, button, row.mode);
    }
    ok = Tavro_UnInstall(s.parent) && ok;
    DestroyWindow(s.parent);
    g_specimens = nullptr;
    if (allCallsSucceeded)
        *allCallsSucceeded = *allCallsSucceeded && ok;
    return pictures;
}

}  // namespace showcase
