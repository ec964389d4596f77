// Nellolib: owner-drawn popup menus with command images, for installed windows.
//
// A host registers images (toolbar resources, icon resources, icon handles),
// each bound to a menu command identifier, and installs a window. Every popup
// that window opens is turned into owner-drawn items while it is open and
// given back exactly as it was when the menu closes.
//
// Call every function on the thread that owns the installed windows.
#pragma once

#include <windows.h>

#ifdef NELLOLIB_BUILDING
#define NELLOLIB_API __declspec(dllexport)
#else
#define NELLOLIB_API __declspec(dllimport)
#endif

// Adds the images of the toolbar resource (type 241) and bitmap resource
// resourceId of module, binding each button's command identifier to its image.
NELLOLIB_API bool Nello_LoadToolbar(HINSTANCE module, unsigned int resourceId);
// Adds icon resource iconId of module as the image of commandId.
NELLOLIB_API bool Nello_AddIcon(HINSTANCE module, unsigned int iconId, unsigned int commandId);
// Adds the icon as the image of commandId. On true the library owns the icon
// and destroys it; the caller must not use the handle again. On false the
// icon stays the caller's.
NELLOLIB_API bool Nello_AddIcon(HICON icon, unsigned int commandId);
// Gives the popup a caption band (text not null) or removes it (null).
NELLOLIB_API bool Nello_SetCaption(HMENU menu, const char* text);
// Items that open the sub-menu show the image of commandId (0 removes it).
NELLOLIB_API bool Nello_SetSubMenuButtonId(HMENU menu, unsigned int commandId);
// 0: images in colour; 1: images in greyscale unless selected or greyed.
NELLOLIB_API void Nello_SetLookMode(int mode);
// Drops every image registration and the image list.
NELLOLIB_API void Nello_UnLoadToolbars();
// Converts the window's popups while they are open.
NELLOLIB_API bool Nello_Install(HWND window);
// Restores the window's own procedure.
NELLOLIB_API bool Nello_UnInstall(HWND window);
