// Menu read-back, item building and timer-driven menu loops for the tests.
#include "menu_items.h"

#include "test_support.h"

#include <cstdio>

namespace testing_support {
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
    if (g_ticks > 200)  // a menu that will not close must not hang the run
        EndMenu();
}

// UTF-16 shown in ASCII: other characters as \uXXXX.
std::string escaped(const std::wstring& text)
{
    std::string out;
    char unit[8];
    for (wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            std::snprintf(unit, sizeof unit, "\\u%04X", static_cast<unsigned>(c));
            out += unit;
        }
    }
    return out;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const MenuItemSnapshot& item)
{
    return out << "{type " << std::hex << item.type << " state " << item.state << " id " << item.id << " sub "
               << item.subMenu << " data " << item.data << " bitmap " << item.bitmap << std::dec << " text \""
               << item.text.substr(0, 40)
               << (item.text.size() > 40 ? "...\" (" + std::to_string(item.text.size()) + ")" : "\"")
               << " wide \"" << escaped(item.wideText.substr(0, 40)) << "\"}";
}

std::vector<MenuItemSnapshot> itemsOf(HMENU menu)
{
    std::vector<MenuItemSnapshot> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        std::string text(info.cch + 1, '\0');
        info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING | MIIM_BITMAP;
        info.dwTypeData = text.data();
        info.cch = static_cast<UINT>(text.size());
        GetMenuItemInfoA(menu, i, TRUE, &info);
        text.resize(info.dwTypeData ? std::char_traits<char>::length(text.c_str()) : 0);
        items.push_back({info.fType, info.fState, info.wID, info.hSubMenu, info.dwItemData, text,
                         wideTextOf(menu, i), info.hbmpItem});
    }
    return items;
}

bool appendItem(HMENU menu, UINT id, const std::string& text, UINT type, UINT state, HMENU subMenu, ULONG_PTR data)
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
    return InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &info) != FALSE;
}

std::size_t runMenuLoop(const std::function<void()>& open, std::vector<std::function<void()>> steps)
{
    // A step may open a menu of its own (TPM_RECURSE): the outer loop's
    // steps go on after the inner loop has closed.
    auto outerSteps = std::move(g_steps);
    const std::size_t outerNext = g_next;
    const int outerTicks = g_ticks;
    const bool nested = !outerSteps.empty();
    g_steps = std::move(steps);
    g_next = 0;
    g_ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 25, onTick);
    open();
    KillTimer(nullptr, timer);
    // The close signal and anything posted meanwhile; an inner loop leaves
    // that to the outer one, whose ticks would run the steps too early.
    if (!nested)
        pumpMessages(0);
    const std::size_t ran = g_next;
    g_steps = std::move(outerSteps);
    g_next = outerNext;
    g_ticks = outerTicks;
    return ran;
}

std::size_t trackMenu(HWND window, HMENU popup, std::vector<std::function<void()>> steps, int x, int y)
{
    return runMenuLoop([&] { TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN, x, y, 0, window, nullptr); },
                       std::move(steps));
}

}  // namespace testing_support
