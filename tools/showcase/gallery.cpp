// The gallery dialog: attaches its buttons, paints the striped background the
// transparent buttons sit on, and reports press notifications in its status
// line, as any host dialog would.
#include "gallery.h"

#include <string>

#include "gdi_owners.h"
#include "showcase_ids.h"
#include "tavrolib.h"

namespace showcase {
namespace {

struct ButtonSetup {
    UINT id;
    int mode;
    UINT icon;
    UINT secondIcon;
};

// The flat buttons rest on their grey icon and show the coloured one under the mouse.
const ButtonSetup kButtons[] = {
    {IDC_PUSH, TavroPush, IDI_OPEN, 0},
    {IDC_SPLIT_DOWN, TavroSplitDown, IDI_PRINT, 0},
    {IDC_SPLIT_RIGHT, TavroSplitRight, IDI_FIND, 0},
    {IDC_NOTIFY, TavroNotify, IDI_INFO, 0},
    {IDC_TOGGLE, TavroToggle, IDI_CUT, 0},
    {IDC_THREE_STATE, TavroThreeState, IDI_SAVE, IDI_SAVE_GREY},
    {IDC_FLAT_PUSH, TavroPush, IDI_OPEN, IDI_OPEN_GREY},
    {IDC_FLAT_SPLIT_DOWN, TavroSplitDown, IDI_PRINT, IDI_PRINT_GREY},
    {IDC_FLAT_SPLIT_RIGHT, TavroSplitRight, IDI_FIND, IDI_FIND_GREY},
    {IDC_FLAT_NOTIFY, TavroNotify, IDI_INFO, IDI_INFO_GREY},
    {IDC_FLAT_TOGGLE, TavroToggle, IDI_CUT, IDI_CUT_GREY},
    {IDC_FLAT_THREE_STATE, TavroThreeState, IDI_SAVE, IDI_SAVE_GREY},
    {IDC_ICON_TOP, TavroPush, IDI_OPEN, 0},
    {IDC_ICON_BOTTOM, TavroPush, IDI_SAVE, 0},
    {IDC_ICON_LEFT, TavroPush, IDI_PRINT, 0},
    {IDC_ICON_RIGHT, TavroPush, IDI_FIND, 0},
    {IDC_TEXT_ONLY, TavroPush, 0, 0},
    {IDC_MULTILINE, TavroPush, 0, 0},
    {IDC_TEXT_COLOURS, TavroPush, IDI_INFO, IDI_INFO_GREY},
    {IDC_FACE_BLUE, TavroPush, 0, 0},
    {IDC_FACE_SAND, TavroPush, 0, 0},
    {IDC_FACE_GREEN, TavroToggle, 0, 0},
    {IDC_DISABLED, TavroSplitDown, IDI_CUT, 0},
    {IDC_DEFAULT, TavroPush, 0, 0},
    {IDC_FRAMELESS, TavroPush, IDI_FIND, 0},
    {IDC_TRANSPARENT, TavroPush, IDI_OPEN, IDI_OPEN_GREY},
    {IDC_TRANSPARENT_3D, TavroToggle, 0, 0},
    {IDC_UNICODE_GREEK, TavroPush, IDI_OPEN, 0},
    {IDC_UNICODE_CYRILLIC, TavroPush, IDI_SAVE, IDI_SAVE_GREY},
    {IDC_UNICODE_LATIN, TavroPush, 0, 0},
    {IDC_UNICODE_SPLIT, TavroSplitDown, 0, 0},
    {IDC_UNICODE_TOGGLE, TavroToggle, 0, 0},
    {IDC_UNICODE_THREE_STATE, TavroThreeState, 0, 0},
};

bool attachButtons(HWND dialog, HINSTANCE instance)
{
    bool ok = Tavro_Install(dialog);
    for (const auto& b : kButtons) {
        ok = Tavro_SetGlisk(dialog, b.id, true) && ok;
        ok = Tavro_SetMode(dialog, b.id, b.mode) && ok;
        if (b.icon)
            ok = Tavro_LoadIcons(dialog, b.id, instance, b.icon, b.secondIcon) && ok;
    }
    ok = Tavro_SetTextColor(dialog, IDC_TEXT_COLOURS, RGB(0, 96, 0), RGB(200, 40, 0)) && ok;
    ok = Tavro_SetFaceColor(dialog, IDC_FACE_BLUE, RGB(102, 153, 204)) && ok;
    ok = Tavro_SetFaceColor(dialog, IDC_FACE_SAND, RGB(212, 190, 140)) && ok;
    ok = Tavro_SetFaceColor(dialog, IDC_FACE_GREEN, RGB(120, 180, 110)) && ok;
    ok = Tavro_SetTextColor(dialog, IDC_FACE_BLUE, RGB(255, 255, 255), RGB(255, 255, 0)) && ok;
    return ok;
}

RECT patternArea(HWND dialog)
{
    RECT r{};
    HWND placeholder = GetDlgItem(dialog, IDC_PATTERN);
    GetWindowRect(placeholder, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Diagonal stripes, so that a transparent button visibly shows what lies under it.
void paintStripes(HDC dc, const RECT& area)
{
    owners::Brush light(CreateSolidBrush(RGB(250, 230, 160)));
    owners::Pen dark(CreatePen(PS_SOLID, 3, RGB(70, 120, 190)));
    FillRect(dc, &area, light.get());
    owners::SavedState saved(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    owners::Selection pen(dc, dark.get());
    const int height = area.bottom - area.top;
    for (int x = area.left - height; x < area.right; x += 12) {
        MoveToEx(dc, x, area.bottom, nullptr);
        LineTo(dc, x + height, area.top);
    }
}

void onPaint(HWND dialog)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    paintStripes(dc, patternArea(dialog));
    EndPaint(dialog, &ps);
}

void onPressNotification(HWND dialog, const NMHDR& header)
{
    wchar_t name[64] = L"";
    GetWindowTextW(header.hwndFrom, name, 64);
    const std::wstring status = std::wstring(L"Notification 1124 from \"") + name + L"\" (control "
                                + std::to_wstring(header.idFrom) + L")";
    SetDlgItemTextW(dialog, IDC_STATUS, status.c_str());
}

}  // namespace

void destroyGallery(HWND gallery);

namespace {

INT_PTR CALLBACK galleryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto* ok = reinterpret_cast<bool*>(lParam);
        const bool attached = attachButtons(dialog, GetModuleHandleA(nullptr));
        if (ok)
            *ok = attached;
        return TRUE;
    }
    case WM_PAINT:
        onPaint(dialog);
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == TAVRO_PRESS_NOTIFICATION)
            onPressNotification(dialog, *header);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL)
            destroyGallery(dialog);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

HWND createGallery(HINSTANCE instance, HWND owner, bool* allCallsSucceeded)
{
    // A Unicode dialog, as applications are made today: its captions keep
    // every character of the resource.
    return CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_GALLERY), owner, galleryProc,
                              reinterpret_cast<LPARAM>(allCallsSucceeded));
}

void destroyGallery(HWND gallery)
{
    // The dialog gets its own procedure back before it goes.
    Tavro_UnInstall(gallery);
    DestroyWindow(gallery);
}

std::string galleryStatus(HWND gallery)
{
    char text[256] = "";
    GetDlgItemTextA(gallery, IDC_STATUS, text, sizeof text);
    return text;
}

}  // namespace showcase
