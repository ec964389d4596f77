// What a program's menus and dialog windows look like to the program itself,
// read inside its process (menus of another process cannot be read), and the
// differences between two such readings, one line each.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace realhost {

struct MenuItemState {
    std::wstring path;  // positions from the menu bar down, "2/5"
    int depth;
    UINT type;
    UINT state;
    UINT id;
    HMENU subMenu;
    ULONG_PTR data;
    HBITMAP bitmap;
    std::wstring text;  // read with the W call, so nothing passes an ANSI code page
};

// Every item of menu and of its sub-menus, depth first.
std::vector<MenuItemState> menuTree(HMENU menu);

// One line per item: path, depth, type, state, id, data and text, separated
// by tabs with the text last (it may hold tabs of its own).
std::wstring describeMenus(const std::vector<MenuItemState>& items);

struct WindowState {
    HWND window;
    int id;
    std::wstring className;
    LONG_PTR style;
    LONG_PTR exStyle;
    LONG_PTR procA;  // the procedure as seen through the ANSI getter
    LONG_PTR procW;  // and through the Unicode one
    bool unicode;
    bool visible;
    bool enabled;
    RECT rect;
    std::wstring text;
};

WindowState windowState(HWND window);
// The dialog first, then each of its child windows.
std::vector<WindowState> dialogState(HWND dialog);

// Lines that say what changed; empty when nothing did. The system's own mark
// of the last highlighted item is not a change.
std::vector<std::wstring> differences(const std::vector<MenuItemState>& before,
                                      const std::vector<MenuItemState>& after);
std::vector<std::wstring> differences(const std::vector<WindowState>& before, const std::vector<WindowState>& after);

// The four bytes that begin every record the menu library attaches.
bool isMenuLibraryRecord(ULONG_PTR data);

}  // namespace realhost
