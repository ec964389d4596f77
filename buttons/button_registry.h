// The button library's records and process-wide registry: installed dialogs,
// their attached buttons, and the look-ups every export and window procedure
// starts from.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ptr_array.h"
#include "window_subclass.h"

using TrackMouseEventFn = BOOL(WINAPI*)(LPTRACKMOUSEEVENT);

// Thrown by a record constructor that cannot take over its window; carries
// the dialog the record was meant for. Exports catch it (and anything else).
struct AttachFailure {
    HWND dialog;
};

struct HookedButton {
    HWND hwnd = nullptr;
    unsigned int controlId = 0;
    // The button's own procedure, called in the button's own character set.
    WindowSubclass subclass;
    DWORD style = 0;
    DWORD exStyle = 0;
    COLORREF faceColor = 0;
    COLORREF textColor = 0;
    COLORREF hotTextColor = 0;
    COLORREF lightColor = 0;
    COLORREF shadowColor = 0;
    COLORREF highlightColor = 0;
    COLORREF darkShadowColor = 0;
    bool textColorsFromSystem = true;
    bool faceColorsFromSystem = true;
    HIMAGELIST imageList = nullptr;
    int pushState = 0;
    int iconWidth = 0;
    int iconHeight = 0;
    bool hot = false;
    int mode = 0;
    HBITMAP background = nullptr;
    bool backgroundValid = false;
    // The button type (low four style bits) from before attach. `style` is
    // refreshed on every style change and then carries the owner-draw type,
    // so detach restores the type from here.
    DWORD typeBeforeAttach = 0;
    // The DPI the button is drawn at; its sizes are defined at 96 DPI.
    int windowDpi = 96;
    // Where the icons came from, so that a DPI change can load them again
    // at the new size.
    HINSTANCE iconModule = nullptr;
    unsigned int iconId = 0;
    unsigned int secondIconId = 0;

    HookedButton() = default;
    HookedButton(const HookedButton&) = delete;
    HookedButton& operator=(const HookedButton&) = delete;

    void attach(HWND dialog, unsigned int id);
    void restore();
    // Destroys the image list and the captured background.
    void releaseObjects();
    void setMode(int newMode);
    void setTextColors(COLORREF text, COLORREF hot);
    void setFaceColor(COLORREF face);
    void setSysColors();
    // The system's current text pair and face palette, without a repaint.
    void readSystemTextColors();
    void readSystemFaceColors();
    bool loadIcons(HINSTANCE module, unsigned int firstId, unsigned int secondId);
    // Takes a new DPI for the button: sizes follow, icons are loaded again.
    void applyDpi(int newDpi);
    SIZE getOptimalSize() const;
    bool drawItem(const DRAWITEMSTRUCT& item) const;
    LRESULT handleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void captureBackground();
    void redraw() const;
};

struct HookedDialog {
    HWND hwnd = nullptr;
    PtrArray buttons{PtrArray::kDefaultBlockSize};
    // The dialog's own procedure, called in the dialog's own character set.
    WindowSubclass subclass;

    HookedDialog() = default;
    HookedDialog(const HookedDialog&) = delete;
    HookedDialog& operator=(const HookedDialog&) = delete;

    void install(HWND dialog);
    void uninstall();
    HookedButton* findButton(unsigned int controlId) const;
    LRESULT handleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
};

extern PtrArray g_dialogs;
extern TrackMouseEventFn g_trackMouseEvent;

// First installed dialog with this window, or null.
HookedDialog* findDialog(HWND dialog);
// First attached button with this control identifier in that dialog, or null.
HookedButton* findButton(HWND dialog, unsigned int controlId);
// The attached button record of a button window, in whichever dialog; null
// once it has been detached. Used after any call that can reach host code,
// and for every message, so it is found from the window in constant time.
HookedButton* findButtonByWindow(HWND button);
// Makes an attached record findable from its window; false when there is no
// room or the window already has a record.
bool indexButtonWindow(HookedButton* button) noexcept;
// Drops the record from the window index (a no-op when it is not there).
void unindexButtonWindow(const HookedButton* button) noexcept;
// ButtonWndProc remembers the record that took the last message; a record
// about to be freed is forgotten here and in the window index
// (button_messages.cpp).
void forgetRoutedButton(const HookedButton* button);

// Takes an installed dialog out of the registry, gives it and its buttons
// their own procedures back and frees the records; false when not installed.
bool uninstallDialog(HWND dialog);
// A window being destroyed (WM_NCDESTROY) is forgotten: records and their
// objects are freed, and nothing more is written to the window.
void forgetDestroyedDialog(HWND dialog);
void forgetDestroyedButton(HWND button);

// What loading and unloading the library do (DllMain calls them).
void libraryLoad();
void libraryUnload();

// Replaces the looked-up _TrackMouseEvent, so that tests can run the hot
// tracking without it.
void setTrackMouseEventForTesting(TrackMouseEventFn fn);

LRESULT CALLBACK DialogWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ButtonWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// The button type test of attach on the low four style bits: plain push
// buttons (0) and every type with bit 0 set pass.
constexpr bool isAttachableType(DWORD style) { return (style & 0xF) == 0 || (style & 0x1) != 0; }
// The style an attached button gets: every push-button type becomes exactly
// owner-drawn, whatever bits its own type had.
constexpr DWORD ownerDrawStyle(DWORD style) { return (style & ~DWORD(0xF)) | BS_OWNERDRAW; }
// The class test of attach: "Button" in any letter case.
bool isButtonClassName(const char* name);
// The style a detached button gets back: the type from before attach, every
// other bit as the window has it now.
constexpr DWORD styleAfterDetach(DWORD current, DWORD typeBeforeAttach)
{
    return (current & ~DWORD(0xF)) | (typeBeforeAttach & 0xF);
}
