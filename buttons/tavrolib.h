// Tavrolib: richer push buttons for an existing dialog, drawn by the library.
//
// A host installs a dialog, then attaches push buttons of that dialog by
// control identifier. Attached buttons become owner-drawn and are painted by
// the library: flat hot-tracking or 3D looks, icons beside, above or below the
// text, toggle and three-state behaviour, split buttons whose arrow area
// notifies the dialog, and custom text and face colours.
//
// Every function returns true when the request was carried out and false when
// the dialog is not installed (or already is), the control is not attached
// (or already is), or a system call failed. Call them on the thread that owns
// the dialog. Before unloading the library a host needs to do nothing: unload
// uninstalls every dialog still installed.
#pragma once

#include <windows.h>

#ifdef TAVROLIB_BUILDING
#define TAVROLIB_API __declspec(dllexport)
#else
#define TAVROLIB_API __declspec(dllimport)
#endif

// Behaviour modes for Tavro_SetMode.
enum TavroButtonMode {
    TavroPush = 0,        // an ordinary push button
    TavroSplitDown = 1,   // a press on the 17 rightmost columns notifies; down arrow
    TavroSplitRight = 2,  // the same with a right-pointing arrow
    TavroNotify = 3,      // every press notifies
    TavroToggle = 4,      // each press (or space release) flips checked / unchecked
    TavroThreeState = 5,  // each press steps unchecked, checked, indeterminate
};

// WM_NOTIFY code sent to the button's parent when an arrow area or a
// TavroNotify button is pressed; NMHDR.idFrom is the control identifier.
constexpr UINT TAVRO_PRESS_NOTIFICATION = WM_USER + 100;  // 1124

// Extended style bit that asks for a button drawn without any frame.
constexpr DWORD TAVRO_EX_FRAMELESS = 0x00010000;

// Subclasses the dialog. False if it is already installed or is not a window.
TAVROLIB_API bool Tavro_Install(HWND dialog);
// Restores the dialog's own procedure and every attached button.
TAVROLIB_API bool Tavro_UnInstall(HWND dialog);
// Attaches (enable true) or detaches (false) the push button controlId.
// Only push-button-like types are accepted, and only windows of class "Button".
TAVROLIB_API bool Tavro_SetGlisk(HWND dialog, unsigned int controlId, bool enable);
// Sets the behaviour mode (TavroButtonMode) and releases the button.
TAVROLIB_API bool Tavro_SetMode(HWND dialog, unsigned int controlId, int mode);
// Loads the button's icons from module's icon resources. secondIconId 0 means
// no second icon. False when the first icon cannot be loaded; the button then
// has no icons.
TAVROLIB_API bool Tavro_LoadIcons(HWND dialog, unsigned int controlId, HINSTANCE module, unsigned int iconId,
                                  unsigned int secondIconId);
// Sets the text colour and the text colour while hot (COLORREF values).
TAVROLIB_API bool Tavro_SetTextColor(HWND dialog, unsigned int controlId, unsigned long textColor,
                                     unsigned long hotTextColor);
// Sets the face colour and derives the 3D edge colours from it.
TAVROLIB_API bool Tavro_SetFaceColor(HWND dialog, unsigned int controlId, unsigned long faceColor);
// Returns all colours of the button to the system colours.
TAVROLIB_API bool Tavro_SetSysColors(HWND dialog, unsigned int controlId);
// The size that fits the button's content (icon and text, without frame).
// size is left untouched when the result is false.
TAVROLIB_API bool Tavro_GetOptimalSize(HWND dialog, unsigned int controlId, SIZE& size);
