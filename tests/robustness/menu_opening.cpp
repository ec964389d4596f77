// A popup opened, measured, painted and closed the way the system does it.
#include "menu_opening.h"

#include "menu_items.h"

#include <string>

namespace robust {

namespace {
int g_colourChanges = 0;
}

void appendEveryKindOfItem(HMENU popup, HMENU sub)
{
    using testing_support::appendItem;
    appendItem(sub, 101, "inside");
    appendItem(popup, 100, "&Command\tCtrl+C");
    appendItem(popup, 0, "", MFT_SEPARATOR);
    appendItem(popup, 101, "Selected");
    appendItem(popup, 7, "Icon", MFT_STRING, MFS_DEFAULT);
    appendItem(popup, 8, "Greyed", MFT_STRING, MFS_GRAYED);
    appendItem(popup, 9, std::string(600, 'L'));
    appendItem(popup, 10, "", MFT_OWNERDRAW, 0, nullptr, kHostItemData);
    appendItem(popup, 0, "Sub", MFT_STRING, 0, sub);
}

int menuHostColourChanges() { return g_colourChanges; }

LRESULT CALLBACK menuHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SYSCOLORCHANGE)
        ++g_colourChanges;
    if (message == WM_MEASUREITEM) {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        mis->itemWidth = 30;
        mis->itemHeight = 10;
        return TRUE;
    }
    if (message == WM_DRAWITEM)
        return TRUE;
    return DefWindowProcA(window, message, wParam, lParam);
}

namespace {

MENUITEMINFOA ownerDrawInfo(HMENU popup, int position)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_DATA | MIIM_FTYPE;
    if (!GetMenuItemInfoA(popup, position, TRUE, &info))
        info.fType = 0;
    return info;
}

void paintItem(HWND window, HMENU popup, int position, const MENUITEMINFOA& info, UINT height,
               testing_support::DibSurface& surface)
{
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_MENU;
    dis.itemID = info.wID;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = position == 3 ? ODS_SELECTED : 0;
    dis.hwndItem = reinterpret_cast<HWND>(popup);
    dis.hDC = surface.dc();
    dis.rcItem = {0, 0, surface.width(), static_cast<LONG>(height ? height : 20)};
    dis.itemData = info.dwItemData;
    SendMessageA(window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
}

}  // namespace

void openMenuAsTheSystemDoes(HWND window, HMENU popup, testing_support::DibSurface& surface,
                             const MenuOpening& opening)
{
    SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    opening.whileOpen();
    const int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        const MENUITEMINFOA info = ownerDrawInfo(popup, i);
        if (!(info.fType & MFT_OWNERDRAW))
            continue;
        MEASUREITEMSTRUCT mis = {ODT_MENU, 0, info.wID, 0, 0, info.dwItemData};
        SendMessageA(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
        if (!opening.paints(i, info.dwItemData))
            continue;
        surface.fill(opening.background);
        paintItem(window, popup, i, info, mis.itemHeight, surface);
        opening.painted(i, surface.pixels());
    }
    SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
}

}  // namespace robust
