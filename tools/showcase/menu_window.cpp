// The main window and its menus, set up through the menu library's exports
// only, and the scripted walk through open popups that captures them.
#include "menu_window.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "gallery.h"
#include "nellolib.h"
#include "showcase_ids.h"

namespace showcase {
namespace {

constexpr int kFilePopup = 0;
constexpr int kEditPopup = 1;
constexpr int kViewPopup = 2;
constexpr int kSymbolsPopup = 4;    // added after Help at run time
constexpr int kInsertPosition = 4;  // within Edit

// A popup of texts outside the ANSI code page, as a Unicode application
// builds it: Greek, Cyrillic, arrows and check marks.
void appendSymbolsPopup(HMENU bar)
{
    HMENU symbols = CreatePopupMenu();
    const struct {
        UINT id;
        const wchar_t* text;
        UINT state;
    } items[] = {
        {ID_SYMBOL_GREEK, L"&\u0391\u03BB\u03C6\u03AC\u03B2\u03B7\u03C4\u03BF \u03A9\u03BC\u03AD\u03B3\u03B1\tCtrl+\u03A9", 0},
        {ID_SYMBOL_CYRILLIC, L"&\u041A\u0438\u0440\u0438\u043B\u043B\u0438\u0446\u0430: \u041F\u0440\u0438\u0432\u0435\u0442", MFS_DEFAULT},
        {ID_SYMBOL_ARROWS, L"\u2190 &Back  \u2192 Forward  \u2191\u2193", 0},
        {ID_SYMBOL_CHECKS, L"\u2713 &Done \u2714 \u2717", MFS_CHECKED},
        {0, nullptr, 0},
        {ID_SYMBOL_UMLAUTS, L"\u00C4rger, \u00DCbel, \u0160&um", MFS_GRAYED},
    };
    for (const auto& item : items) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | (item.text ? MIIM_STRING : 0);
        info.fType = item.text ? MFT_STRING : MFT_SEPARATOR;
        info.fState = item.state;
        info.wID = item.id;
        info.dwTypeData = const_cast<wchar_t*>(item.text);
        InsertMenuItemW(symbols, GetMenuItemCount(symbols), TRUE, &info);
    }
    AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(symbols), L"&\u03A3\u03CD\u03BC\u03B2\u03BF\u03BB\u03B1");
}

HMENU popup(HWND window, int position)
{
    return GetSubMenu(GetMenu(window), position);
}

void showLook(HWND window, int look)
{
    Nello_SetLookMode(look);
    CheckMenuRadioItem(popup(window, kViewPopup), ID_VIEW_COLOUR, ID_VIEW_GREYSCALE,
                       look == 0 ? ID_VIEW_COLOUR : ID_VIEW_GREYSCALE, MF_BYCOMMAND);
}

bool registerImages(HWND window, HINSTANCE instance)
{
    bool ok = Nello_LoadToolbar(instance, IDR_TOOLBAR);
    ok = Nello_AddIcon(instance, IDI_SAVE, ID_INSERT_NOTE) && ok;
    // A handle given to the library is the library's when it says true.
    HICON picture = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_OPEN), IMAGE_ICON, 16, 16, 0));
    if (Nello_AddIcon(picture, ID_INSERT_PICTURE))
        picture = nullptr;
    else {
        ok = false;
        DestroyIcon(picture);
    }
    ok = Nello_SetCaption(popup(window, kFilePopup), "Showcase") && ok;
    ok = Nello_SetCaption(popup(window, kSymbolsPopup), "Unicode") && ok;
    ok = Nello_AddIcon(instance, IDI_INFO, ID_SYMBOL_GREEK) && ok;
    ok = Nello_AddIcon(instance, IDI_FIND, ID_SYMBOL_ARROWS) && ok;
    ok = Nello_SetSubMenuButtonId(GetSubMenu(popup(window, kEditPopup), kInsertPosition), ID_EDIT_FIND) && ok;
    return ok;
}

void prepareItems(HWND window)
{
    HMENU edit = popup(window, kEditPopup);
    SetMenuDefaultItem(edit, ID_EDIT_SELECT_ALL, FALSE);
    CheckMenuRadioItem(edit, ID_EDIT_ALIGN_LEFT, ID_EDIT_ALIGN_RIGHT, ID_EDIT_ALIGN_CENTRE, MF_BYCOMMAND);
    showLook(window, 0);
}

void onCommand(HWND window, UINT id)
{
    switch (id) {
    case ID_VIEW_COLOUR: showLook(window, 0); break;
    case ID_VIEW_GREYSCALE: showLook(window, 1); break;
    case ID_VIEW_BUTTONS: createGallery(GetModuleHandleA(nullptr), window, nullptr); break;
    case ID_FILE_EXIT: DestroyWindow(window); break;
    case ID_EDIT_WORD_WRAP: {
        HMENU edit = popup(window, kEditPopup);
        const bool checked = GetMenuState(edit, id, MF_BYCOMMAND) & MF_CHECKED;
        CheckMenuItem(edit, id, MF_BYCOMMAND | (checked ? MF_UNCHECKED : MF_CHECKED));
        break;
    }
    case ID_EDIT_ALIGN_LEFT:
    case ID_EDIT_ALIGN_CENTRE:
    case ID_EDIT_ALIGN_RIGHT:
        CheckMenuRadioItem(popup(window, kEditPopup), ID_EDIT_ALIGN_LEFT, ID_EDIT_ALIGN_RIGHT, id, MF_BYCOMMAND);
        break;
    default: break;
    }
}

void onPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT r;
    GetClientRect(window, &r);
    InflateRect(&r, -12, -12);
    DrawTextA(dc,
              "Open the menus: images from a toolbar and icons, a caption band on File, an image on the "
              "Insert sub-menu, checked and radio items, a default and a greyed item, and Greek, Cyrillic, "
              "arrows and check marks in the last popup. View switches between colour and greyscale "
              "images and opens the button gallery.",
              -1, &r, DT_WORDBREAK);
    EndPaint(window, &ps);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: onCommand(window, LOWORD(wParam)); return 0;
    case WM_PAINT: onPaint(window); return 0;
    case WM_DESTROY:
        Nello_UnInstall(window);
        PostQuitMessage(0);
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The scripted walk: keys go to the open popup from a timer, since the menu
// runs its own message loop inside TrackPopupMenu.
struct MenuWalk {
    int downs = 0;
    bool openSubMenu = false;
    int step = 0;
    Picture picture;
};

MenuWalk* g_walk = nullptr;

BOOL CALLBACK addMenuWindow(HWND window, LPARAM lParam)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32768") == 0 && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
    return TRUE;
}

// The open popups as they overlap on screen, on a plain background.
Picture captureOpenPopups()
{
    std::vector<HWND> popups;
    EnumWindows(addMenuWindow, reinterpret_cast<LPARAM>(&popups));
    RECT all{};
    for (HWND p : popups) {
        RECT r;
        GetWindowRect(p, &r);
        if (IsRectEmpty(&all))
            all = r;
        else
            UnionRect(&all, &all, &r);
    }
    Picture picture;
    picture.width = all.right - all.left;
    picture.height = all.bottom - all.top;
    picture.pixels.assign(static_cast<size_t>(std::max(picture.width, 0)) * std::max(picture.height, 0), 0xFAFAF7);
    // EnumWindows lists the topmost first: paint in reverse so it ends on top.
    for (auto it = popups.rbegin(); it != popups.rend(); ++it) {
        RECT r;
        GetWindowRect(*it, &r);
        const Picture one = captureScreen(r);
        for (int y = 0; y < one.height; ++y)
            for (int x = 0; x < one.width; ++x)
                picture.pixels[static_cast<size_t>(y + r.top - all.top) * picture.width + (x + r.left - all.left)] =
                    one.pixels[static_cast<size_t>(y) * one.width + x];
    }
    return picture;
}

void sendKey(UINT key)
{
    HWND menu = FindWindowA("#32768", nullptr);
    PostMessageA(menu, WM_KEYDOWN, key, 0);
    PostMessageA(menu, WM_KEYUP, key, 0xC0000000);
}

void CALLBACK walkStep(HWND window, UINT, UINT_PTR timer, DWORD)
{
    MenuWalk& walk = *g_walk;
    switch (walk.step++) {
    case 0:
        for (int i = 0; i < walk.downs; ++i)
            sendKey(VK_DOWN);
        break;
    case 1:
        if (walk.openSubMenu)
            sendKey(VK_RIGHT);
        break;
    case 2:
        walk.picture = captureOpenPopups();
        break;
    default:
        KillTimer(window, timer);
        EndMenu();
        break;
    }
}

Picture captureOpenPopup(HWND window, int position, int downs, bool openSubMenu)
{
    MenuWalk walk;
    walk.downs = downs;
    walk.openSubMenu = openSubMenu;
    g_walk = &walk;
    RECT r;
    GetWindowRect(window, &r);
    SetForegroundWindow(window);
    SetTimer(window, 1, 250, walkStep);
    TrackPopupMenu(popup(window, position), TPM_LEFTALIGN | TPM_TOPALIGN, r.left + 20, r.top + 60, 0, window,
                   nullptr);
    KillTimer(window, 1);
    g_walk = nullptr;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    return walk.picture;
}

}  // namespace

HWND createMainWindow(HINSTANCE instance, bool* allCallsSucceeded)
{
    // A Unicode window, as applications with texts outside the ANSI code
    // page have; the library keeps it Unicode while installed.
    WNDCLASSW wc{};
    wc.lpfnWndProc = mainWindowProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = L"ShowcaseMainWindow";
    RegisterClassW(&wc);
    HMENU bar = LoadMenuA(instance, MAKEINTRESOURCEA(IDM_MAIN));
    appendSymbolsPopup(bar);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"Showcase", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, 20, 440,
                                  300, nullptr, bar, instance, nullptr);
    bool ok = window && registerImages(window, instance);
    prepareItems(window);
    ok = Nello_Install(window) && IsWindowUnicode(window) && ok;
    if (allCallsSucceeded)
        *allCallsSucceeded = *allCallsSucceeded && ok;
    return window;
}

std::vector<MenuPicture> captureMenus(HWND window)
{
    std::vector<MenuPicture> pictures;
    for (int look : {0, 1}) {
        showLook(window, look);
        const std::string suffix = look == 0 ? "look 0 (colour)" : "look 1 (greyscale)";
        const std::string tag = "menu-look" + std::to_string(look);
        pictures.push_back({tag + "-file", "File, " + suffix, captureOpenPopup(window, kFilePopup, 3, false)});
        pictures.push_back({tag + "-edit-insert", "Edit > Insert, " + suffix,
                            captureOpenPopup(window, kEditPopup, 4, true)});
        pictures.push_back({tag + "-unicode", "Unicode texts, " + suffix,
                            captureOpenPopup(window, kSymbolsPopup, 2, false)});
    }
    showLook(window, 0);
    return pictures;
}

namespace {

struct Item {
    MENUITEMINFOW info{};
    wchar_t text[256] = L"";
};

// Read as UTF-16: a text that lost characters to the ANSI code page differs.
Item readItem(HMENU menu, int position)
{
    Item item;
    item.info.cbSize = sizeof item.info;
    item.info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_SUBMENU | MIIM_ID | MIIM_STRING;
    item.info.dwTypeData = item.text;
    item.info.cch = 256;
    GetMenuItemInfoW(menu, position, TRUE, &item.info);
    return item;
}

// Compares with a copy of the menu fresh from the resource.
bool itemsAreTheHosts(HMENU menu, HMENU original)
{
    if (GetMenuItemCount(menu) != GetMenuItemCount(original)) {
        std::fprintf(stderr, "showcase: a popup has %d items, had %d\n", GetMenuItemCount(menu),
                     GetMenuItemCount(original));
        return false;
    }
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        const Item now = readItem(menu, i);
        const Item then = readItem(original, i);
        // A popup item's identifier is its sub-menu's handle, which differs between copies.
        const bool sameId = now.info.hSubMenu ? then.info.hSubMenu != nullptr : now.info.wID == then.info.wID;
        if ((now.info.fType & MFT_OWNERDRAW) || now.info.dwItemData || !sameId
            || std::wcscmp(now.text, then.text) != 0) {
            std::fprintf(stderr, "showcase: item %d is \"%ls\" (type %#x, data %#llx), was \"%ls\"\n", i, now.text,
                         now.info.fType, static_cast<unsigned long long>(now.info.dwItemData), then.text);
            return false;
        }
        if (now.info.hSubMenu && !itemsAreTheHosts(now.info.hSubMenu, then.info.hSubMenu))
            return false;
    }
    return true;
}

}  // namespace

bool menusRestored(HWND window)
{
    // The bar itself is never converted; every popup below it must be plain again.
    HMENU original = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_MAIN));
    appendSymbolsPopup(original);
    const bool same = itemsAreTheHosts(GetMenu(window), original);
    DestroyMenu(original);
    return same;
}

}  // namespace showcase
