// Real popup menus for the robustness programs: opened with TrackPopupMenu
// from a host window, one step run per timer tick while open, closed after
// the last; and everything a host can read back of a menu's items.
#pragma once

#include <windows.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace robust {

struct ItemLook {
    UINT type, state, id;
    HMENU subMenu;
    ULONG_PTR data;
    std::string text;
    bool operator==(const ItemLook& o) const
    {
        // The system marks the last highlighted item itself.
        return type == o.type && (state & ~MFS_HILITE) == (o.state & ~MFS_HILITE) && id == o.id &&
               subMenu == o.subMenu && data == o.data && text == o.text;
    }
};
std::ostream& operator<<(std::ostream& out, const ItemLook& item);
std::vector<ItemLook> itemsOf(HMENU menu);

void appendItem(HMENU menu, UINT id, const std::string& text, UINT type = MFT_STRING, UINT state = 0,
                HMENU subMenu = nullptr, ULONG_PTR data = 0);

// Opens popup from window and runs steps one per tick while it is open.
// A menu that does not close by itself is ended after a bounded time.
void trackMenu(HWND window, HMENU popup, std::vector<std::function<void()>> steps);

}  // namespace robust
