// Menu and window read-back inside the hosting program.
#include "window_snapshots.h"

#include "menu_text.h"

#include <cstring>
#include <sstream>

namespace realhost {
namespace {

void addItems(HMENU menu, const std::wstring& prefix, int depth, std::vector<MenuItemState>& items)
{
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_BITMAP;
        GetMenuItemInfoW(menu, position, TRUE, &info);
        const std::wstring path = prefix.empty() ? std::to_wstring(position) : prefix + L"/" + std::to_wstring(position);
        items.push_back({path, depth, info.fType, info.fState, info.wID, info.hSubMenu, info.dwItemData,
                         info.hbmpItem, testing_support::wideTextOf(menu, position)});
        if (info.hSubMenu)
            addItems(info.hSubMenu, path, depth + 1, items);
    }
}

std::wstring hex(ULONG_PTR value)
{
    std::wostringstream out;
    out << std::hex << value;
    return out.str();
}

std::wstring describe(const MenuItemState& item)
{
    return item.path + L"\t" + std::to_wstring(item.depth) + L"\t" + hex(item.type) + L"\t" + hex(item.state) + L"\t" +
           std::to_wstring(item.id) + L"\t" + hex(item.data) + L"\t" + item.text;
}

std::wstring describe(const WindowState& window)
{
    std::wostringstream out;
    out << L"id " << window.id << L" " << window.className << L" style " << std::hex << window.style << L" ex "
        << window.exStyle << L" procA " << window.procA << L" procW " << window.procW << std::dec << L" unicode "
        << window.unicode << L" visible " << window.visible << L" enabled " << window.enabled << L" rect ("
        << window.rect.left << L"," << window.rect.top << L")-(" << window.rect.right << L"," << window.rect.bottom
        << L") text \"" << window.text << L"\"";
    return out.str();
}

bool sameMenuItem(const MenuItemState& a, const MenuItemState& b)
{
    return a.path == b.path && a.type == b.type && (a.state & ~MFS_HILITE) == (b.state & ~MFS_HILITE) &&
           a.id == b.id && a.subMenu == b.subMenu && a.data == b.data && a.bitmap == b.bitmap && a.text == b.text;
}

bool sameWindow(const WindowState& a, const WindowState& b)
{
    return a.window == b.window && a.id == b.id && a.className == b.className && a.style == b.style &&
           a.exStyle == b.exStyle && a.procA == b.procA && a.procW == b.procW && a.unicode == b.unicode &&
           a.visible == b.visible && a.enabled == b.enabled && EqualRect(&a.rect, &b.rect) && a.text == b.text;
}

template <class T, class Same>
std::vector<std::wstring> listDifferences(const std::vector<T>& before, const std::vector<T>& after, Same same)
{
    std::vector<std::wstring> lines;
    if (before.size() != after.size())
        lines.push_back(L"count " + std::to_wstring(before.size()) + L" became " + std::to_wstring(after.size()));
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
        if (!same(before[i], after[i])) {
            lines.push_back(L"was " + describe(before[i]));
            lines.push_back(L"now " + describe(after[i]));
        }
    }
    return lines;
}

BOOL CALLBACK addChild(HWND child, LPARAM lParam)
{
    auto* windows = reinterpret_cast<std::vector<WindowState>*>(lParam);
    windows->push_back(windowState(child));
    return TRUE;
}

}  // namespace

std::vector<MenuItemState> menuTree(HMENU menu)
{
    std::vector<MenuItemState> items;
    if (menu)
        addItems(menu, L"", 0, items);
    return items;
}

std::wstring describeMenus(const std::vector<MenuItemState>& items)
{
    std::wstring lines;
    for (const auto& item : items)
        lines += describe(item) + L"\n";
    return lines;
}

WindowState windowState(HWND window)
{
    WindowState state = {};
    state.window = window;
    state.id = GetDlgCtrlID(window);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    state.className = name;
    state.style = GetWindowLongPtrW(window, GWL_STYLE);
    state.exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    state.procA = GetWindowLongPtrA(window, GWLP_WNDPROC);
    state.procW = GetWindowLongPtrW(window, GWLP_WNDPROC);
    state.unicode = IsWindowUnicode(window) != FALSE;
    state.visible = IsWindowVisible(window) != FALSE;
    state.enabled = IsWindowEnabled(window) != FALSE;
    GetWindowRect(window, &state.rect);
    const int length = GetWindowTextLengthW(window);
    state.text.assign(length + 1, L'\0');
    state.text.resize(GetWindowTextW(window, state.text.data(), length + 1));
    return state;
}

std::vector<WindowState> dialogState(HWND dialog)
{
    std::vector<WindowState> windows{windowState(dialog)};
    EnumChildWindows(dialog, addChild, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<std::wstring> differences(const std::vector<MenuItemState>& before, const std::vector<MenuItemState>& after)
{
    return listDifferences(before, after, sameMenuItem);
}

std::vector<std::wstring> differences(const std::vector<WindowState>& before, const std::vector<WindowState>& after)
{
    return listDifferences(before, after, sameWindow);
}

bool isMenuLibraryRecord(ULONG_PTR data)
{
    // Only called on items the library converted or the program's own,
    // which carry no data here; a null or small value is never read.
    return data > 0xFFFF && std::memcmp(reinterpret_cast<const void*>(data), "mid0", 4) == 0;
}

}  // namespace realhost
