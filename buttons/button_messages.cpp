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
#include "dpi_scale.h"

#include <windowsx.h>

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
    // Mapped as one rectangle: in a mirrored (right-to-left) parent its left
    // and right edges trade places, which corners mapped one by one miss.
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// For a window without a record: the default procedure in the character set
// the window's messages arrive in.
LRESULT defaultProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return IsWindowUnicode(window) ? DefWindowProcW(window, msg, wParam, lParam)
                                   : DefWindowProcA(window, msg, wParam, lParam);
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
    return defaultProcedure(window, msg, wParam, lParam);
}

namespace {

// Every attached button hears of a colour or settings change. The sends run
// button code, so the dialog and its list are looked up again after each.
// A settings change may carry a section name in lParam: it goes on in the
// character set the dialog received it in.
void onSysColorChange(HWND dialogWindow, bool unicode, UINT msg, WPARAM wParam, LPARAM lParam)
{
    for (int i = 0;; ++i) {
        HookedDialog* dialog = findDialog(dialogWindow);
        if (!dialog || i >= dialog->buttons.size())
            break;
        const HWND button = dialog->buttons.get<HookedButton>(i)->hwnd;
        if (unicode)
            SendMessageW(button, msg, wParam, lParam);
        else
            SendMessageA(button, msg, wParam, lParam);
    }
}

// The dialog moved to a screen of another DPI, given in the message. Each
// repaint can reach host code, so the list is looked up again each time.
void onDpiChanged(HWND dialogWindow, WPARAM dpis)
{
    const int newDpi = LOWORD(dpis);
    for (int i = 0;; ++i) {
        HookedDialog* dialog = findDialog(dialogWindow);
        if (!dialog || i >= dialog->buttons.size())
            break;
        dialog->buttons.get<HookedButton>(i)->applyDpi(newDpi);
    }
}

bool onDrawItem(const HookedDialog& dialog, WPARAM controlId, const DRAWITEMSTRUCT* item)
{
    if (dialog.buttons.empty() || !item)
        return false;
    const HookedButton* button = dialog.findButton(static_cast<unsigned int>(controlId));
    return button && button->drawItem(*item);
}

// The dialog's own procedure sees its last message first; then the library
// forgets the dialog and never writes to it again.
LRESULT onDialogNcDestroy(HWND dialogWindow, const WindowSubclass& own, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = own.callPrevious(dialogWindow, WM_NCDESTROY, wParam, lParam);
    forgetDestroyedDialog(dialogWindow);
    return result;
}

}  // namespace

LRESULT HookedDialog::handleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Copies: the host may uninstall or destroy the dialog inside any call
    // that reaches it, and the record goes with that.
    const HWND window = hwnd;
    const WindowSubclass own = subclass;
    switch (msg) {
    case WM_SYSCOLORCHANGE:
    case WM_WININICHANGE:
        onSysColorChange(window, own.unicode(), msg, wParam, lParam);
        break;
    case WM_DPICHANGED:
        onDpiChanged(window, wParam);
        break;
    case WM_DRAWITEM:
        if (onDrawItem(*this, wParam, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
            return TRUE;
        break;
    case WM_NCDESTROY:
        return onDialogNcDestroy(window, own, wParam, lParam);
    default:
        break;
    }
    return own.callPrevious(window, msg, wParam, lParam);
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
    return defaultProcedure(window, msg, wParam, lParam);
}

namespace {

// A moved or resized button hides and shows itself so that the parent's
// pixels under it are repainted and captured afresh. A hidden one stays
// hidden: a wizard page or an optional button is moved while out of sight.
void onMoveOrSize(HookedButton& b)
{
    const HWND window = b.hwnd;
    b.backgroundValid = false;
    if (!(GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE))
        return;
    const bool hadFocus = GetFocus() == window;
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

// A child hears of its parent's DPI change after the parent; it reads the
// DPI that now applies to it.
void onDpiChangedAfterParent(HookedButton& b)
{
    b.applyDpi(dpi::ofWindow(b.hwnd));
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

bool isOverClient(HWND window, LPARAM position)
{
    RECT client;
    GetClientRect(window, &client);
    const POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    return PtInRect(&client, point) != FALSE;
}

// Hot only while the cursor is over the button. A pressed button has the
// capture and keeps getting moves outside it: those end the hot look once
// instead of asking for a leave that comes at once, over and over.
void onMouseMove(HookedButton& b, LPARAM position)
{
    if (!(b.style & BS_FLAT) || !g_trackMouseEvent)
        return;
    if (!isOverClient(b.hwnd, position)) {
        if (b.hot) {
            b.hot = false;
            b.redraw();
        }
        return;
    }
    if (b.hot)
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
        strip.left = strip.right - dpi::scale(kArrowStripWidth, b.windowDpi);
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

// The button's own procedure sees its last message first; then the record
// and its objects go, without another write to the window.
LRESULT onButtonNcDestroy(HWND window, const WindowSubclass& own, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = own.callPrevious(window, WM_NCDESTROY, wParam, lParam);
    forgetDestroyedButton(window);
    return result;
}

}  // namespace

LRESULT HookedButton::handleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Copies for passing the message on: a handler may have lost the record.
    const HWND window = hwnd;
    const WindowSubclass own = subclass;
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
    case WM_DPICHANGED_AFTERPARENT:
        onDpiChangedAfterParent(*this);
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
        onMouseMove(*this, lParam);
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
    case WM_NCDESTROY:
        return onButtonNcDestroy(window, own, wParam, lParam);
    default:
        break;
    }
    if (handled)
        return *handled;
    return own.callPrevious(window, msg, wParam, lParam);
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
