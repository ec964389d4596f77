// A small dialog application that gives its buttons and its menu the
// libraries' look. Run with --self-test to open and close everything once
// without a user and exit with 0 when every call succeeded.
#include <windows.h>

#include <nellolib.h>
#include <tavrolib.h>

#include <cstring>

#include "resource.h"

namespace {

bool g_ok = true;
bool g_selfTest = false;

void check(bool result)
{
    g_ok = g_ok && result;
}

void enhanceButtons(HWND dialog)
{
    check(Tavro_Install(dialog));
    const unsigned ids[] = {IDC_OPEN, IDC_SAVE, IDC_MORE, IDC_BOLD};
    for (unsigned id : ids)
        check(Tavro_SetGlisk(dialog, id, true));
    check(Tavro_SetMode(dialog, IDC_MORE, TavroSplitDown));
    check(Tavro_SetMode(dialog, IDC_BOLD, TavroToggle));
    check(Tavro_SetFaceColor(dialog, IDC_SAVE, RGB(102, 153, 204)));
    check(Tavro_SetTextColor(dialog, IDC_OPEN, RGB(0, 0, 128), RGB(200, 0, 0)));
    SIZE size{};
    check(Tavro_GetOptimalSize(dialog, IDC_MORE, size) && size.cx > 0 && size.cy > 0);
}

void enhanceMenus(HWND dialog)
{
    // The library owns the icon copies once they are accepted.
    check(Nello_AddIcon(CopyIcon(LoadIconA(nullptr, IDI_INFORMATION)), ID_FILE_OPEN));
    check(Nello_AddIcon(CopyIcon(LoadIconA(nullptr, IDI_WARNING)), ID_FILE_SAVE));
    check(Nello_SetCaption(GetSubMenu(GetMenu(dialog), 0), "Example"));
    check(Nello_Install(dialog));
}

// The self-test opens the File menu; this closes it again.
void CALLBACK closeMenu(HWND, UINT, UINT_PTR, DWORD)
{
    EndMenu();
}

void runSelfTest(HWND dialog)
{
    SetForegroundWindow(dialog);
    const UINT_PTR timer = SetTimer(nullptr, 0, 300, closeMenu);
    TrackPopupMenu(GetSubMenu(GetMenu(dialog), 0), TPM_LEFTALIGN, 10, 10, 0, dialog, nullptr);
    KillTimer(nullptr, timer);
    // The popup is the host's own again: plain strings, no owner-draw.
    char text[64] = "";
    GetMenuStringA(GetSubMenu(GetMenu(dialog), 0), ID_FILE_OPEN, text, sizeof text, MF_BYCOMMAND);
    check(std::strcmp(text, "&Open...\tCtrl+O") == 0);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        enhanceButtons(dialog);
        enhanceMenus(dialog);
        if (g_selfTest)
            PostMessageA(dialog, WM_APP, 0, 0);
        return TRUE;
    case WM_APP:
        runSelfTest(dialog);
        return TRUE;
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lParam)->code == TAVRO_PRESS_NOTIFICATION)
            MessageBoxA(dialog, "The arrow of More was pressed.", "Example host", MB_OK);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == ID_FILE_EXIT) {
            // Give the windows their own procedures back before they go.
            check(Nello_UnInstall(dialog));
            check(Tavro_UnInstall(dialog));
            EndDialog(dialog, 0);
        }
        return TRUE;
    }
    (void)wParam;
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    g_selfTest = std::strstr(commandLine, "--self-test") != nullptr;
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, dialogProc, 0);
    return g_ok ? 0 : 1;
}
