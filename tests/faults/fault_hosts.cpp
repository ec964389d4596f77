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

std::vector<COLORREF> openPaintAndClose(HWND window, HMENU popup, DibSurface& surface,
                                        const std::function<void()>& whileOpen)
{
    std::vector<COLORREF> all;
    robust::MenuOpening opening;
    opening.background = kBackground;
    opening.whileOpen = whileOpen;
    opening.paints = [](int, ULONG_PTR data) { return data != robust::kHostItemData; };
    opening.painted = [&](int, const std::vector<COLORREF>& pixels) { all.insert(all.end(), pixels.begin(), pixels.end()); };
    robust::openMenuAsTheSystemDoes(window, popup, surface, opening);
    return all;
}

}  // namespace faults
