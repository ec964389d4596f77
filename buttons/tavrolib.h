// Tavrolib: richer push buttons for an existing dialog, drawn by the library.
//
// A host installs a dialog, then attaches push buttons of that dialog by
// control identifier. Attached buttons become owner-drawn and are painted by
// the library: flat hot-tracking or 3D looks, icons beside, above or below the
// text, toggle and three-state behaviour, split buttons whose arrow area
// notifies the dialog, and custom text and face colours.
//
// Windows keep their character set: a Unicode dialog and its buttons stay
// Unicode while installed and attached and afterwards, and captions are read,
// measured and drawn in UTF-16; an ANSI dialog stays ANSI. A dialog or button
// destroyed while installed or attached is forgotten with its window: every
// function then returns false for it, and a new window (or a new button with
// the same identifier) can be installed or attached.
//
// Every function returns true when the request was carried out and false when
// the dialog is not installed (or already is), the control is not attached
// (or already is), or a system call failed. Call them on the thread that owns
// the dialog. Before unloading the library a host needs to do nothing: unload
// uninstalls every dialog still installed.
//
// What the library cannot make safe on its own:
// - Subclassing is last in, first out. A host (or another library) that
//   subclasses an installed dialog or an attached button after the library
//   takes its own subclass off again before it detaches, uninstalls or
//   unloads. Otherwise the library puts back the procedure it found, which
//   drops the later one, and the later one's saved procedure points into the
//   library, freed once it is unloaded.
// - Button texts longer than 255 characters are shown and measured up to the
//   255th character.
// - The library must not be unloaded from inside a message of an installed
//   dialog or attached button (the press notification, for instance): the
//   library's own procedure is still running and returns into freed code.
//
// Linking: find_package(Tavrolib) and Tavrolib::Tavrolib, or libTavrolib.dll.a
// with MinGW, or Tavrolib.lib with MSVC (every function is exported under its
// MSVC-decorated name too). Ship Tavrolib.dll beside the program.
#pragma once

#include <windows.h>

#ifdef TAVROLIB_BUILDING
#define TAVROLIB_API __declspec(dllexport)
#else
#define TAVROLIB_API __declspec(dllimport)
#endif

// Behaviour modes for Tavro_SetMode. Any other value is kept and behaves as
// TavroPush. Toggle and three-state buttons answer BM_GETCHECK with their
// state (BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE) and take it from
// BM_SETCHECK; other modes answer BM_GETCHECK with BST_UNCHECKED.
enum TavroButtonMode {
    TavroPush = 0,        // an ordinary push button
    TavroSplitDown = 1,   // a press on the 17 rightmost columns (at 96 DPI) notifies; down arrow
    TavroSplitRight = 2,  // the same with a right-pointing arrow
    TavroNotify = 3,      // every press notifies
    TavroToggle = 4,      // each press (or space release) flips checked / unchecked
    TavroThreeState = 5,  // each press steps unchecked, checked, indeterminate
};

// WM_NOTIFY code sent to the button's parent when an arrow area or a
// TavroNotify button is pressed: wParam and NMHDR.idFrom are the control
// identifier, hwndFrom the button. The button is drawn held while the parent
// handles it, and that press produces no BN_CLICKED. The handler may detach
// the button or uninstall the dialog.
constexpr UINT TAVRO_PRESS_NOTIFICATION = WM_USER + 100;  // 1124

// Extended style bit that asks for a button drawn without any frame.
constexpr DWORD TAVRO_EX_FRAMELESS = 0x00010000;

// Subclasses the dialog. False if it is already installed, is not a window,
// or belongs to another thread than the calling one.
TAVROLIB_API bool Tavro_Install(HWND dialog);
// Restores the dialog's own procedure, then every attached button.
TAVROLIB_API bool Tavro_UnInstall(HWND dialog);
// Attaches (enable true) or detaches (false) the push button controlId of an
// installed dialog. Attach accepts windows of class "Button" whose type (low
// four style bits) is 0 or has bit 0 set, gives them exactly the owner-drawn
// type and paints them; a refused control is left untouched. Detach gives the button its own
// procedure and type back and keeps its other current style bits.
TAVROLIB_API bool Tavro_SetGlisk(HWND dialog, unsigned int controlId, bool enable);
// Sets the behaviour mode (TavroButtonMode), releases or unchecks the button
// and repaints it.
TAVROLIB_API bool Tavro_SetMode(HWND dialog, unsigned int controlId, int mode);
// Loads the button's icons from module's icon resources (low 16 bits of each
// identifier). secondIconId 0, or a second icon that cannot be loaded, means
// the first icon serves for both. False when the first icon cannot be
// loaded; the button then has no icons. Shown from the next paint on.
// Above 96 DPI the icons are loaded at their size brought to the button's
// DPI, as every size of the look is (see README, High-DPI screens).
TAVROLIB_API bool Tavro_LoadIcons(HWND dialog, unsigned int controlId, HINSTANCE module, unsigned int iconId,
                                  unsigned int secondIconId);
// Sets the text colour and the text colour while hot (COLORREF values); they
// no longer follow system colour changes.
TAVROLIB_API bool Tavro_SetTextColor(HWND dialog, unsigned int controlId, unsigned long textColor,
                                     unsigned long hotTextColor);
// Sets the face colour and derives the 3D edge colours from it; they no
// longer follow system colour changes.
TAVROLIB_API bool Tavro_SetFaceColor(HWND dialog, unsigned int controlId, unsigned long faceColor);
// Returns all colours of the button to the system colours, which it follows
// again.
TAVROLIB_API bool Tavro_SetSysColors(HWND dialog, unsigned int controlId);
// The size that fits the button's content (one line of text and the icon,
// plus the arrow area of split buttons), without the 2-pixel frame border.
// size is left untouched when the result is false.
TAVROLIB_API bool Tavro_GetOptimalSize(HWND dialog, unsigned int controlId, SIZE& size);
