// Real menus for tests: everything a host can read back of a menu's items,
// items appended the way a host builds them, and menu loops driven by a
// thread timer (each tick runs the next step inside the open menu; the menu
// is closed after the last, or after a bounded time).
#pragma once

#include "menu_text.h"

#include <windows.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace testing_support {

struct MenuItemSnapshot {
    UINT type;
    UINT state;
    UINT id;
    HMENU subMenu;
    ULONG_PTR data;
    std::string text;      // as an ANSI host reads it
    std::wstring wideText;  // as a Unicode host reads it
    HBITMAP bitmap;
    bool operator==(const MenuItemSnapshot& o) const
    {
        // The system itself marks the last highlighted item.
        return type == o.type && (state & ~MFS_HILITE) == (o.state & ~MFS_HILITE) && id == o.id &&
               subMenu == o.subMenu && data == o.data && text == o.text && wideText == o.wideText &&
               bitmap == o.bitmap;
    }
};
std::ostream& operator<<(std::ostream& out, const MenuItemSnapshot& item);
std::vector<MenuItemSnapshot> itemsOf(HMENU menu);

// Separators and owner-drawn items get no string. False when the insert failed.
bool appendItem(HMENU menu, UINT id, const std::string& text, UINT type = MFT_STRING, UINT state = 0,
                HMENU subMenu = nullptr, ULONG_PTR data = 0);

// Runs open() (which enters a menu loop) with the steps run one per tick,
// and returns the number of steps that ran before the menu closed.
std::size_t runMenuLoop(const std::function<void()>& open, std::vector<std::function<void()>> steps);

// The same for popup opened with TrackPopupMenu from window at (x, y).
std::size_t trackMenu(HWND window, HMENU popup, std::vector<std::function<void()>> steps, int x = 50, int y = 50);

}  // namespace testing_support
