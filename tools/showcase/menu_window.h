// The showcase's main window: a menu bar whose popups the menu library draws,
// with toolbar images, icons, a caption band, a sub-menu image, checked and
// radio items, default and greyed items, and a switch between the two looks.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "picture.h"

namespace showcase {

HWND createMainWindow(HINSTANCE instance, bool* allCallsSucceeded);

struct MenuPicture {
    std::string name;
    std::string caption;
    Picture picture;
};

// Opens the File popup and the Edit popup with its Insert sub-menu in both
// looks and captures each while it is open. The popups are closed (and so
// given back to the host) before this returns.
std::vector<MenuPicture> captureMenus(HWND mainWindow);

// True when every item of the menu bar's popups is the host's own again:
// no owner-drawn items, and the texts as the resource wrote them.
bool menusRestored(HWND mainWindow);

}  // namespace showcase
