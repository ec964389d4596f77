// Real popup menus for the robustness programs: opened with TrackPopupMenu
// from a host window, one step run per timer tick while open, closed after
// the last; and everything a host can read back of a menu's items.
#pragma once

#include <windows.h>

#include "menu_items.h"

#include <functional>
#include <vector>

namespace robust {

using ItemLook = testing_support::MenuItemSnapshot;
using testing_support::appendItem;
using testing_support::itemsOf;

// Opens popup from window and runs steps one per tick while it is open.
// A menu that does not close by itself is ended after a bounded time.
inline void trackMenu(HWND window, HMENU popup, std::vector<std::function<void()>> steps)
{
    testing_support::trackMenu(window, popup, std::move(steps));
}

}  // namespace robust
