// The menu library's process-wide state: its registries, the shared image
// list, the appearance globals that measurement and painting read, and the
// record attached to every converted menu item. One file per concern
// implements the functions declared at the end.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ptr_array.h"
#include "window_subclass.h"

#include <cstddef>
#include <string>

// "mid0" in memory order: item data is the library's only when it starts so.
constexpr DWORD kMenuItemMagic = 0x3064696D;

// Attached as item data to every converted item. Hosts can see it while a
// menu is open, so these fields keep their order and sizes; any further
// state goes after them.
struct MenuItemData {
    DWORD magic;
    char text[256];  // the best ANSI form of the first 255 characters
    UINT type;
    int imageIndex;
    bool isDefault;
    bool hasSubMenu;
    bool isCaption;
    // The item's whole text in UTF-16, as the menu holds it: what is
    // measured, drawn and matched against mnemonics.
    std::wstring wideText;
    // The popup the record was made for, so that records of items the host
    // deleted while the popup was open are still freed when it closes.
    HMENU popup;
};

// Records are made and freed only through these, so that item data can be
// recognised as the library's without reading memory the host owns: the
// host's own item data may be any value, not a pointer at all.
MenuItemData* NewMenuItemData();
void FreeMenuItemData(MenuItemData* record);
// The record behind item data when it is a live record of the library with
// the "mid0" magic; null for anything else.
MenuItemData* AsMenuItemData(ULONG_PTR itemData);
// Stores an item text: the whole of it in wideText, and the ANSI form of its
// first 255 characters in text for hosts that read the record.
void SetMenuItemText(MenuItemData& record, std::wstring text);
// What an item shows: the first 255 characters of its text.
std::wstring ShownMenuItemText(const MenuItemData& record);
// Frees every record made for popup that is still alive, or every record at
// all when popup is null: what is left once the popup has been given back
// belongs to items the host deleted while it was open.
void FreeMenuItemDataOf(HMENU popup);
// The ANSI form of text cut to at most maxBytes bytes, never inside a
// character of a multi-byte code page.
std::string AnsiPrefix(const std::wstring& text, std::size_t maxBytes);
// The character a label's mnemonic marker picks ('&' before it; "&&" is a
// plain ampersand), or 0 when it has none.
wchar_t MnemonicOf(const std::wstring& text);

struct HookedWindow {
    HWND hwnd;
    WindowSubclass subclass;  // the window's procedure before installation
    int dpi;                  // as read at install or announced by the system since
};

struct ToolbarEntry {
    HINSTANCE hinstance;
    unsigned int resourceId;
};

struct IconResEntry {
    HINSTANCE hinstance;
    unsigned int iconId;
    unsigned int commandId;
};

struct IconHandleEntry {
    HICON icon;  // the library's own copy
    unsigned int commandId;
};

struct CommandImage {
    unsigned int commandId;
    int imageIndex;
};

struct MenuCaption {
    bool inserted;
    HMENU menu;
    char* text;
};

struct SubMenuButton {
    HMENU menu;
    unsigned int commandId;
};

// Registries (block size 10), each owning the records it points to.
extern PtrArray g_windows;         // HookedWindow*
extern PtrArray g_openMenus;       // HMENU, no record
extern PtrArray g_toolbars;        // ToolbarEntry*
extern PtrArray g_iconResources;   // IconResEntry*
extern PtrArray g_iconHandles;     // IconHandleEntry*
extern PtrArray g_commandImages;   // CommandImage*
extern PtrArray g_captions;        // MenuCaption*
extern PtrArray g_subMenuButtons;  // SubMenuButton*

// The one image list of every registered image; a width of 0 means none yet.
// 24-bit colour: an 8-bit list cannot hold the system colours that the
// toolbar colours are turned into, nor true-colour icons.
constexpr UINT kImageListFlags = ILC_COLOR24 | ILC_MASK;
extern HIMAGELIST g_imageList;
extern int g_imageWidth;
extern int g_imageHeight;

// Appearance, read at start-up and again on a system change.
extern COLORREF g_menuColor;
extern COLORREF g_menuTextColor;
extern COLORREF g_hotColor;
extern COLORREF g_highlightColor;
extern COLORREF g_shadowColor;
extern COLORREF g_captionColor;
extern COLORREF g_captionGradientColor;
extern COLORREF g_captionTextColor;
extern HFONT g_menuFont;
extern HFONT g_menuBoldFont;
extern HFONT g_captionFont;
extern int g_captionButtonHeight;
extern int g_menuBarHeight;
// The system's check-mark width, which it adds to owner-drawn items. Read
// with the other metrics: the system works it out from the menu font anew
// on every request, which costs more than the rest of a measurement.
extern int g_menuCheckWidth;
extern HRGN g_emptyRegion;
extern HBRUSH g_halftoneBrush;

using GradientFillFunction = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
extern GradientFillFunction g_gradientFill;
extern int g_lookMode;

// Start-up, teardown and the image map (menu_library.cpp).
void InitMenuLibrary();
void ShutdownMenuLibrary();
void ReadMenuColors();
// The system metrics the items' sizes use, at the library's DPI.
void ReadMenuMetrics();
void MapCommandImage(unsigned int commandId, int imageIndex);
int FindCommandImage(unsigned int commandId);
// Creates the image list with the given image size unless one exists; false
// when it cannot be created.
bool EnsureImageList(int width, int height);
// Destroys the image list and frees the image size for the next registration.
void DropImageList();
// Drops the greyscale copy of the image list (menu_paint.cpp).
void ForgetGreyImages();
// Drops the greyscale copy and every ready copy of the images, colour and
// grey, that painting keeps (menu_paint.cpp).
void ForgetReadyImages();
// What the ready copies hold now: images, and the GDI objects kept for
// them, which stay at eight at most however many images there are.
struct ReadyImageCounts {
    int images;
    int gdiObjects;
};
ReadyImageCounts CountReadyImages();

// Held by a registration across its work: unless kept, it drops an image
// list that did not exist when it began, so a refusal never fixes the size.
class NewImageListUndo {
public:
    NewImageListUndo() : existed_(g_imageList != nullptr) {}
    ~NewImageListUndo()
    {
        if (!existed_ && !kept_)
            DropImageList();
    }
    NewImageListUndo(const NewImageListUndo&) = delete;
    NewImageListUndo& operator=(const NewImageListUndo&) = delete;
    void keep() { kept_ = true; }

private:
    bool existed_;
    bool kept_ = false;
};

// Toolbar bitmaps (menu_toolbar.cpp): a screen-compatible bitmap of the
// resource's images with the standard colours replaced; null when the
// resource is not a usable bitmap. The caller deletes it.
HBITMAP LoadToolbarBitmap(HINSTANCE module, HRSRC bitmapResource);

// Measurement (menu_measure.cpp).
void CreateMenuFonts();
// Creates the fonts that are missing, after a creation that failed.
void EnsureMenuFonts();
void DeleteMenuFonts();
bool MeasureMenuItem(MEASUREITEMSTRUCT* mis);
// The sizes as pure arithmetic: from the text extent in the item's font and
// the image size, and the width of the icon column that painting shares.
// Margins are defined at 96 DPI and taken at dpi.
SIZE CaptionItemSize(SIZE textExtent, int captionButtonHeight, int dpi = 96);
int SeparatorItemHeight(int menuBarHeight);
SIZE CommandItemSize(SIZE textExtent, int imageWidth, int imageHeight, int checkMarkWidth, int dpi = 96);
int IconColumnWidth(int imageWidth, int itemHeight, int dpi = 96);

// Painting (menu_paint.cpp).
bool DrawMenuItem(const DRAWITEMSTRUCT* dis);
void DrawTwoColorFrame(HDC dc, const RECT& r, COLORREF light, COLORREF dark);
void FillRectWithColor(HDC dc, const RECT& r, COLORREF colour);
void DrawItemText(HDC dc, const RECT& r, const std::wstring& text, bool disabled, bool hidePrefixes);
void DrawGrayIcon(HDC dc, int x, int y, HICON icon);
// The same for image index of the shared image list, from its grey copy.
void DrawGrayImage(HDC dc, int x, int y, int index);

// Conversion of popups (menu_convert.cpp).
LRESULT CALLBACK MenuWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ConvertMenu(HMENU popup, bool toOwnerDraw);
void RestoreOpenMenus(UINT flags, HMENU menu);
// The answer to WM_MENUCHAR for a converted popup: the item whose mnemonic
// is key (any case), executed when it is the only one and selected in turn
// after the highlighted item when several share it; -1 when none of the
// library's items has it.
LRESULT AnswerMenuChar(HMENU popup, wchar_t key);
// Takes the caption's item out of its popup now, if it is in there.
void WithdrawCaption(MenuCaption& caption);
// Teardown: converts open popups back and gives every installed window its
// own procedure again, so that none is left pointing into unloaded code.
void ReleaseInstalledWindows();
// Re-reads colours, fonts and metrics and rebuilds the image list from the
// registrations, after a system colour or settings change.
void ReloadMenuResources();
