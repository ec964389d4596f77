// Nellolib: owner-drawn popup menus with command images, for installed windows.
//
// A host registers images (toolbar resources, icon resources, icon handles),
// each bound to a menu command identifier. All images share one image list
// whose image size is fixed by the first registration (a toolbar's button
// size, 16 x 16 for an icon) until Nello_UnLoadToolbars. Above 96 DPI that
// size is taken at the screen's DPI (16 x 16 becomes 24 x 24 at 144 DPI):
// icons are loaded at it and toolbar images scaled smoothly to it.
//
// Install a window and every popup menu it opens (its menu bar's popups,
// their sub-menus, context menus it owns; not its window menu) is drawn by
// the library while open and given back exactly as it was at the close.
// While open, each converted item is owner-drawn and carries the library's
// record as item data (it begins with the bytes "mid0", then the item text's
// first 255 characters in the ANSI code page); the item keeps its own string
// meanwhile, in UTF-16, whatever its length, and only its type and item data
// are given back at the close. Texts longer than 255 characters are drawn
// cut. Items with item data of the host's own, owner-drawn items and bitmap
// items are left alone. Items the host inserts or deletes while a popup is
// open are fine: what the host made stays, and the library's records of
// deleted items are freed at the close.
//
// Unicode: a Unicode window stays Unicode while installed, and texts outside
// the ANSI code page are measured, drawn and given back exactly. The
// library answers WM_MENUCHAR for its items (the mnemonic marked with "&",
// in any case); the host's procedure is asked when none of them has the
// character.
//
// Every function must be called on the thread that owns the host's windows
// (its user-interface thread); the library takes no locks. Functions that
// return bool give true when the request was carried out and false when
// nothing was changed: the key is already registered (registrations are
// never replaced; remove first), is not registered, or a system call failed.
//
// Resource identifiers: only their low 16 bits name the resource, but the
// full value is what a registration remembers and compares.
//
// Linking: find_package(Nellolib) and Nellolib::Nellolib, or libNellolib.dll.a
// with MinGW, or Nellolib.lib with MSVC (every function is exported under its
// MSVC-decorated name too). Ship Nellolib.dll beside the program.
#pragma once

#include <windows.h>

#ifdef NELLOLIB_BUILDING
#define NELLOLIB_API __declspec(dllexport)
#else
#define NELLOLIB_API __declspec(dllimport)
#endif

// Adds the images of the bitmap resource resourceId of module, cut into
// buttons by the toolbar resource (type 241) of the same identifier, and binds
// each listed command identifier to its button's image (separators take no
// image). The bitmap's black, dark grey, light grey and white become the
// current button colours, light grey being transparent. Commands listed past
// the bitmap's last image stay without an image. False when the pair is
// registered already, a resource is missing or malformed, or the button size
// differs from the image size in force. Above 96 DPI a toolbar of the
// images' 96-DPI size is scaled to their size at that DPI, and a toolbar made
// for that size already is taken as it is.
NELLOLIB_API bool Nello_LoadToolbar(HINSTANCE module, unsigned int resourceId);
// Adds icon resource iconId of module, loaded at the image size, as the image
// of commandId. False when these three values are registered already or the
// icon cannot be loaded or added. The same icon for another command adds
// another image.
NELLOLIB_API bool Nello_AddIcon(HINSTANCE module, unsigned int iconId, unsigned int commandId);
// Adds the icon as the image of commandId. On true the library owns the
// handle: it destroys it, and the caller must neither use nor destroy it
// again. On false the icon stays the caller's, to destroy as before.
NELLOLIB_API bool Nello_AddIcon(HICON icon, unsigned int commandId);
// text not null: gives the popup menu a caption band at its top, showing at
// most the first 255 characters; false when it has one already or menu is
// not a menu. text null: removes the caption; false when it has none. The
// text is copied.
NELLOLIB_API bool Nello_SetCaption(HMENU menu, const char* text);
// commandId not 0: items that open the sub-menu menu show the image bound to
// commandId; false when the sub-menu has an identifier already or is not a
// menu. commandId 0: removes it; false when it has none.
NELLOLIB_API bool Nello_SetSubMenuButtonId(HMENU menu, unsigned int commandId);
// 0: images in colour; 1: images in greyscale unless the item is selected or
// greyed. Other values are ignored. Applies from the next painting.
NELLOLIB_API void Nello_SetLookMode(int mode);
// Drops every image registration (toolbars, icons) and the image list, so that
// the next registration fixes the image size anew. Captions, sub-menu
// identifiers and the look mode stay.
NELLOLIB_API void Nello_UnLoadToolbars();
// Subclasses window so that its popups are converted while open. False when
// window is not a window, belongs to another thread than the calling one, is
// installed already, or cannot be subclassed.
// The window uninstalls itself when it is destroyed.
NELLOLIB_API bool Nello_Install(HWND window);
// Gives window its previous window procedure back, after converting back
// any popup that is still open. False when window is not installed.
NELLOLIB_API bool Nello_UnInstall(HWND window);

// What the library cannot make safe on its own: subclassing is last in,
// first out, so a host that subclasses an installed window after the library
// takes its own subclass off again before it uninstalls the window or
// unloads the library. Captions and sub-menu images are kept by menu handle:
// remove them before destroying the menu, or they apply to whatever menu is
// later given that handle value. A module that images were registered from
// stays loaded while they are registered: a change of the system colours or
// settings loads them from it again.
//
// Unloading the library (FreeLibrary) converts open popups back and
// uninstalls every window still installed; still, a host best uninstalls
// its windows with no menu open before it unloads the library, and must not
// unload it from inside one of the installed windows' messages.
