// Painting buttons and menu items as the system asks for them.
#include "fault_hosts.h"

namespace faults {

using testing_support::DibSurface;

// Every button painted as the system asks for it; the pixels of all of them.
std::vector<COLORREF> paintButtons(HWND dialog, DibSurface& surface, int buttons)
{
    std::vector<COLORREF> all;
    for (int i = 0; i < buttons; ++i) {
        surface.fill(kBackground);
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = 10 + i;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = i == 1 ? ODS_FOCUS : 0;
        item.hwndItem = GetDlgItem(dialog, 10 + i);
        item.hDC = surface.dc();
        GetClientRect(item.hwndItem, &item.rcItem);
        SendMessageW(dialog, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
        const auto pixels = surface.pixels();
        all.insert(all.end(), pixels.begin(), pixels.end());
    }
    return all;
}

LRESULT CALLBACK menuHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
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

std::vector<COLORREF> openPaintAndClose(HWND window, HMENU popup, DibSurface& surface,
                                        const std::function<void()>& whileOpen)
{
    SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    whileOpen();
    std::vector<COLORREF> all;
    const int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_DATA | MIIM_FTYPE;
        GetMenuItemInfoA(popup, i, TRUE, &info);
        if (!(info.fType & MFT_OWNERDRAW) || info.dwItemData == kHostData)
            continue;
        MEASUREITEMSTRUCT mis = {ODT_MENU, 0, info.wID, 0, 0, info.dwItemData};
        SendMessageA(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
        surface.fill(kBackground);
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_MENU;
        dis.itemID = info.wID;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = i == 3 ? ODS_SELECTED : 0;
        dis.hwndItem = reinterpret_cast<HWND>(popup);
        dis.hDC = surface.dc();
        dis.rcItem = {0, 0, surface.width(), static_cast<LONG>(mis.itemHeight ? mis.itemHeight : 20)};
        dis.itemData = info.dwItemData;
        SendMessageA(window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
        const auto pixels = surface.pixels();
        all.insert(all.end(), pixels.begin(), pixels.end());
    }
    SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    return all;
}

}  // namespace faults
