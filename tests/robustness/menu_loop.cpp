// Popup menus run from a thread timer, and item read-back.
#include "menu_loop.h"

namespace robust {

namespace {

std::vector<std::function<void()>> g_steps;
std::size_t g_next = 0;
int g_ticks = 0;

void CALLBACK onTick(HWND, UINT, UINT_PTR, DWORD)
{
    ++g_ticks;
    if (g_next < g_steps.size()) {
        // Copied: a step may start another menu loop of its own.
        auto step = g_steps[g_next++];
        step();
    } else {
        EndMenu();
    }
    if (g_ticks > 200)
        EndMenu();
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const ItemLook& item)
{
    return out << "{type " << std::hex << item.type << " state " << item.state << " id " << item.id << " data "
               << item.data << std::dec << " text \"" << item.text.substr(0, 30) << "\" (" << item.text.size()
               << ")}";
}

std::vector<ItemLook> itemsOf(HMENU menu)
{
    std::vector<ItemLook> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        std::string text(info.cch + 1, '\0');
        info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING;
        info.dwTypeData = text.data();
        info.cch = static_cast<UINT>(text.size());
        GetMenuItemInfoA(menu, i, TRUE, &info);
        text.resize(info.dwTypeData ? std::char_traits<char>::length(text.c_str()) : 0);
        items.push_back({info.fType, info.fState, info.wID, info.hSubMenu, info.dwItemData, text});
    }
    return items;
}

void appendItem(HMENU menu, UINT id, const std::string& text, UINT type, UINT state, HMENU subMenu, ULONG_PTR data)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | (subMenu ? MIIM_SUBMENU : 0) |
                 (type & (MFT_SEPARATOR | MFT_OWNERDRAW) ? 0 : MIIM_STRING);
    info.fType = type;
    info.fState = state;
    info.wID = id;
    info.hSubMenu = subMenu;
    info.dwItemData = data;
    info.dwTypeData = const_cast<char*>(text.c_str());
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &info);
}

void trackMenu(HWND window, HMENU popup, std::vector<std::function<void()>> steps)
{
    g_steps = std::move(steps);
    g_next = 0;
    g_ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, onTick);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN, 50, 50, 0, window, nullptr);
    KillTimer(nullptr, timer);
    // The close signal and anything posted meanwhile.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

}  // namespace robust
