// Dialogs, buttons and the message pump used by the figures.
#include "host_windows.h"

namespace bench {

namespace {

INT_PTR CALLBACK quietDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

}  // namespace

HWND createDialog(int x, int y, int width, int height, bool visible)
{
    // DLGTEMPLATE followed by empty menu, class and title arrays; the storage
    // is WORD aligned as the template requires.
    WORD storage[32] = {};
    auto* tmpl = reinterpret_cast<DLGTEMPLATE*>(storage);
    tmpl->style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
    tmpl->cdit = 0;
    tmpl->cx = 100;
    tmpl->cy = 50;
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), tmpl, nullptr, quietDialogProc, 0);
    if (!dialog)
        return nullptr;
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, GetWindowLongA(dialog, GWL_STYLE), FALSE, GetWindowLongA(dialog, GWL_EXSTYLE));
    SetWindowPos(dialog, nullptr, x, y, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | (visible ? SWP_SHOWWINDOW : 0));
    return dialog;
}

HWND addPushButton(HWND dialog, int id, const char* text, int x, int y, int width, int height, HFONT font)
{
    HWND button = CreateWindowExA(0, "BUTTON", text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, y, width, height,
                                  dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleA(nullptr), nullptr);
    if (button && font)
        SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return button;
}

void pumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

OffscreenSurface screenCompatibleSurface(int width, int height)
{
    owners::WindowDc screen(nullptr);
    return {owners::MemoryDc(CreateCompatibleDC(screen.get())),
            owners::Bitmap(CreateCompatibleBitmap(screen.get(), width, height))};
}

}  // namespace bench
