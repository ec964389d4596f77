// The window procedures of installed dialogs and attached buttons, and the
// buttons' state machine: hot tracking, check states, presses that notify
// the parent, and the copy of the parent's pixels under transparent buttons.
//
// Any call that can reach host code (the press notification, a message sent
// to a button, a message passed on) may detach the button or uninstall its
// dialog. After such a call a handler works only from local copies and fresh
// look-ups, never from the record it started with.
#include "button_registry.h"
#include "tavrolib.h"
#include "gdi_owners.h"

#include <optional>

namespace {

using Handled = std::optional<LRESULT>;  // empty: pass the message on

constexpr int kArrowStripWidth = 17;

int effectiveMode(int mode)
{
    return mode >= TavroPush && mode <= TavroThreeState ? mode : TavroPush;
}

int nextThreeState(int pushState)
{
    const int next = pushState + 1;
    return next == 3 ? 0 : next;
}

RECT windowRectInParent(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    HWND parent = GetParent(window);
    POINT topLeft{r.left, r.top};
    POINT bottomRight{r.right, r.bottom};
    ScreenToClient(parent, &topLeft);
    ScreenToClient(parent, &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

}  // namespace

// ---- the dialog ------------------------------------------------------------

LRESULT CALLBACK DialogWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    try {
        if (HookedDialog* dialog = findDialog(window))
            return dialog->handleMessage(msg, wParam, lParam);
    } catch (...) {
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

namespace {

// Every attached button hears of a colour or settings change. The sends run
// button code, so the dialog and its list are looked up again after each.
void onSysColorChange(HWND dialogWindow, UINT msg, WPARAM wParam, LPARAM lParam)
{
    for (int i = 0;; ++i) {
        HookedDialog* dialog = findDialog(dialogWindow);
        if (!dialog || i >= dialog->buttons.size())
            break;
        SendMessageA(dialog->buttons.get<HookedButton>(i)->hwnd, msg, wParam, lParam);
    }
}

bool onDrawItem(const HookedDialog& dialog, WPARAM controlId, const DRAWITEMSTRUCT* item)
{
    if (dialog.buttons.empty() || !item)
        return false;
    const HookedButton* button = dialog.findButton(static_cast<unsigned int>(controlId));
    return button && button->drawItem(*item);
}

}  // namespace

LRESULT HookedDialog::handleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const HWND window = hwnd;
    const WNDPROC prev = prevWndProc;
    switch (msg) {
    case WM_SYSCOLORCHANGE:
    case WM_WININICHANGE:
        onSysColorChange(window, msg, wParam, lParam);
        break;
    case WM_DRAWITEM:
        if (onDrawItem(*this, wParam, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
            return TRUE;
        break;
    default:
        break;
    }
    return CallWindowProcA(prev, window, msg, wParam, lParam);
}

// ---- the button ------------------------------------------------------------

// The record that took the last message: messages come in runs to one
// button (mouse moves above all), so most need not even the window index.
// Every record forgets itself here when it is restored, before it is freed.
static HookedButton* g_lastRouted = nullptr;

void forgetRoutedButton(const HookedButton* button)
{
    if (g_lastRouted == button)
        g_lastRouted = nullptr;
    unindexButtonWindow(button);
}

LRESULT CALLBACK ButtonWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    try {
        if (!g_lastRouted || g_lastRouted->hwnd != window)
            g_lastRouted = findButtonByWindow(window);
        if (g_lastRouted)
            return g_lastRouted->handleMessage(msg, wParam, lParam);
    } catch (...) {
        return 0;
    }
    // No record (also while attach is still building it).
    return DefWindowProcA(window, msg, wParam, lParam);
}

namespace {

// A moved or resized button hides and shows itself so that the parent's
// pixels under it are repainted and captured afresh.
void onMoveOrSize(HookedButton& b)
{
    const HWND window = b.hwnd;
    const bool hadFocus = GetFocus() == window;
    b.backgroundValid = false;
    const DWORD exStyle = b.exStyle;
    ShowWindow(window, SW_HIDE);
    ShowWindow(window, SW_SHOWNA);
    SetWindowLongA(window, GWL_EXSTYLE, static_cast<LONG>(exStyle));
    if (hadFocus)
        SetFocus(window);
}

void onSysColorChange(HookedButton& b)
{
    if (b.textColorsFromSystem)
        b.readSystemTextColors();
    if (b.faceColorsFromSystem)
        b.readSystemFaceColors();
    b.redraw();
}

void onStyleChanged(HookedButton& b)
{
    b.style = static_cast<DWORD>(GetWindowLongA(b.hwnd, GWL_STYLE));
    b.exStyle = static_cast<DWORD>(GetWindowLongA(b.hwnd, GWL_EXSTYLE));
    b.hot = g_trackMouseEvent == nullptr && (b.style & BS_FLAT) != 0;
    if (b.exStyle & WS_EX_TRANSPARENT) {
        const RECT r = windowRectInParent(b.hwnd);
        b.backgroundValid = false;
        RedrawWindow(GetParent(b.hwnd), &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    } else {
        if (b.background)
            DeleteObject(b.background);
        b.background = nullptr;
        b.backgroundValid = false;
        b.redraw();
    }
}

Handled onGetCheck(const HookedButton& b)
{
    if (b.pushState >= 0 && b.pushState <= 2)
        return b.pushState;
    return std::nullopt;
}

void onSetCheck(HookedButton& b, WPARAM check)
{
    switch (effectiveMode(b.mode)) {
    case TavroToggle:
        b.pushState = check == BST_CHECKED ? 1 : 0;
        break;
    case TavroThreeState:
        b.pushState = check == BST_CHECKED ? 1 : check == BST_INDETERMINATE ? 2 : 0;
        break;
    default:
        break;
    }
    b.redraw();
}

// Toggle and three-state buttons change state at the press (or space
// release) itself, whatever the release then does.
void stepCheckState(HookedButton& b)
{
    switch (effectiveMode(b.mode)) {
    case TavroToggle:
        b.pushState = b.pushState == 0 ? 1 : 0;
        break;
    case TavroThreeState:
        b.pushState = nextThreeState(b.pushState);
        break;
    default:
        break;
    }
}

void onKeyUp(HookedButton& b, WPARAM key)
{
    const HWND window = b.hwnd;
    if (key != VK_SPACE || !IsWindowEnabled(window))
        return;
    SendMessageA(window, WM_MOUSELEAVE, 0, 0);
    if (HookedButton* still = findButtonByWindow(window))
        stepCheckState(*still);
}

void onMouseMove(HookedButton& b)
{
    if (b.hot || !(b.style & BS_FLAT) || !g_trackMouseEvent)
        return;
    TRACKMOUSEEVENT request = {};
    request.cbSize = sizeof request;
    request.dwFlags = TME_LEAVE;
    request.hwndTrack = b.hwnd;
    request.dwHoverTime = HOVER_DEFAULT;
    g_trackMouseEvent(&request);
    b.hot = true;
    b.redraw();
}

// Held look, WM_NOTIFY to the parent, then the release. The parent's handler
// may detach the button or uninstall the dialog, so nothing after the send
// uses the record.
LRESULT pressNotification(HookedButton& b)
{
    const HWND window = b.hwnd;
    const UINT_PTR controlId = b.controlId;
    b.pushState = 4;
    NMHDR header = {};
    header.hwndFrom = window;
    header.idFrom = controlId;
    header.code = TAVRO_PRESS_NOTIFICATION;
    b.redraw();
    SendMessageA(GetParent(window), WM_NOTIFY, controlId, reinterpret_cast<LPARAM>(&header));
    // A button detached meanwhile is its own procedure's again: a release
    // it never saw the press of is not sent to it.
    if (findButtonByWindow(window))
        SendMessageA(window, WM_LBUTTONUP, 0, 0);
    return 0;
}

Handled onLButtonDown(HookedButton& b, LPARAM position)
{
    switch (effectiveMode(b.mode)) {
    case TavroToggle:
    case TavroThreeState:
        stepCheckState(b);
        return std::nullopt;
    case TavroSplitDown:
    case TavroSplitRight: {
        RECT strip;
        GetClientRect(b.hwnd, &strip);
        strip.left = strip.right - kArrowStripWidth;
        const POINT point{static_cast<LONG>(LOWORD(position)), static_cast<LONG>(HIWORD(position))};
        if (PtInRect(&strip, point))
            return pressNotification(b);
        return std::nullopt;
    }
    case TavroNotify:
        return pressNotification(b);
    default:
        return std::nullopt;
    }
}

Handled onLButtonUp(HookedButton& b)
{
    if (b.pushState != 4)
        return std::nullopt;
    b.pushState = 0;
    b.redraw();
    return 0;
}

LRESULT onLButtonDblClk(HookedButton& b, WPARAM keys, LPARAM position)
{
    // The second click of a double-click is a fresh press in every mode.
    SendMessageA(b.hwnd, WM_LBUTTONDOWN, keys, position);
    return 0;
}

LRESULT onMouseLeave(HookedButton& b)
{
    b.hot = false;
    b.redraw();
    return 0;
}

}  // namespace

LRESULT HookedButton::handleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Copies for passing the message on: a handler may have lost the record.
    const HWND window = hwnd;
    const WNDPROC prev = prevWndProc;
    Handled handled;
    switch (msg) {
    case WM_MOVE:
    case WM_SIZE:
        onMoveOrSize(*this);
        break;
    case WM_ERASEBKGND:
        captureBackground();
        handled = 1;  // the button's own procedure never erases
        break;
    case WM_SYSCOLORCHANGE:
    case WM_WININICHANGE:
        onSysColorChange(*this);
        break;
    case WM_STYLECHANGED:
        onStyleChanged(*this);
        break;
    case BM_GETCHECK:
        handled = onGetCheck(*this);
        break;
    case BM_SETCHECK:
        onSetCheck(*this, wParam);
        break;
    case WM_KEYUP:
        onKeyUp(*this, wParam);
        break;
    case WM_MOUSEMOVE:
        onMouseMove(*this);
        break;
    case WM_LBUTTONDOWN:
        handled = onLButtonDown(*this, lParam);
        break;
    case WM_LBUTTONUP:
        handled = onLButtonUp(*this);
        break;
    case WM_LBUTTONDBLCLK:
        handled = onLButtonDblClk(*this, wParam, lParam);
        break;
    case WM_MOUSELEAVE:
        handled = onMouseLeave(*this);
        break;
    default:
        break;
    }
    if (handled)
        return *handled;
    return CallWindowProcA(prev, window, msg, wParam, lParam);
}

void HookedButton::captureBackground()
{
    if (!(exStyle & WS_EX_TRANSPARENT) || backgroundValid)
        return;
    if (background) {
        DeleteObject(background);
        background = nullptr;
    }
    const HWND parent = GetParent(hwnd);
    owners::WindowDc parentDc(parent);
    owners::MemoryDc memoryDc(CreateCompatibleDC(parentDc.get()));
    const RECT r = windowRectInParent(hwnd);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    background = CreateCompatibleBitmap(parentDc.get(), width, height);
    {
        owners::SavedState saved(memoryDc.get());
        SelectObject(memoryDc.get(), background);
        BitBlt(memoryDc.get(), 0, 0, width, height, parentDc.get(), r.left, r.top, SRCCOPY);
    }
    backgroundValid = true;
}
