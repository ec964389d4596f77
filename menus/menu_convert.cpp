// Installed windows and the conversion of their popups: owner-drawn with a
// record per item while a menu is open, exactly as the host built them again
// when it closes.
#include "menu_state.h"
#include "menu_dpi.h"
#include "nellolib.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr UINT kReadMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE | MIIM_DATA;
constexpr UINT kFirstSystemCommand = 0xF000;

HookedWindow* findWindow(HWND window)
{
    for (int i = 0; i < g_windows.size(); ++i) {
        HookedWindow* hooked = g_windows.get<HookedWindow>(i);
        if (hooked->hwnd == window)
            return hooked;
    }
    return nullptr;
}

MenuCaption* findCaption(HMENU popup)
{
    for (int i = 0; i < g_captions.size(); ++i) {
        MenuCaption* caption = g_captions.get<MenuCaption>(i);
        if (caption->menu == popup)
            return caption;
    }
    return nullptr;
}

int subMenuImage(HMENU subMenu)
{
    for (int i = 0; i < g_subMenuButtons.size(); ++i) {
        const SubMenuButton* button = g_subMenuButtons.get<SubMenuButton>(i);
        if (button->menu == subMenu)
            return FindCommandImage(button->commandId);
    }
    return FindCommandImage(0xFFFFFFFF);
}

// One item as read: its info and its whole text, however long.
struct MenuItem {
    MENUITEMINFOA info;
    std::vector<char> text;
};

bool readItem(HMENU popup, int position, MenuItem& item)
{
    // The length first, so that no text is cut by the buffer.
    MENUITEMINFOA probe = {};
    probe.cbSize = sizeof probe;
    probe.fMask = MIIM_STRING;
    GetMenuItemInfoA(popup, position, TRUE, &probe);
    item.text.assign(probe.cch + 1 > 256 ? probe.cch + 1 : 256, '\0');
    item.info = {};
    item.info.cbSize = sizeof item.info;
    item.info.fMask = kReadMask;
    item.info.dwTypeData = item.text.data();
    item.info.cch = static_cast<UINT>(item.text.size());
    if (!GetMenuItemInfoA(popup, position, TRUE, &item.info))
        return false;
    if (!item.info.dwTypeData)
        item.text[0] = '\0';
    item.text.back() = '\0';
    return true;
}

bool isSystemMenu(const MENUITEMINFOA& first)
{
    return first.wID >= kFirstSystemCommand && !first.hSubMenu;
}

void addOpenMenu(HMENU popup)
{
    if (g_openMenus.indexOf(popup) < 0)
        g_openMenus.add(popup);
}

// Makes one item owner-drawn with its record. Items drawn by the host or
// carrying its item data, and bitmap items, are not the library's to touch.
void convertItem(HMENU popup, int position, MenuItem& item)
{
    MENUITEMINFOA& info = item.info;
    if (info.fType & (MFT_OWNERDRAW | MFT_BITMAP))
        return;
    MenuItemData* record = AsMenuItemData(info.dwItemData);
    if (info.dwItemData && !record)
        return;
    const bool isNew = record == nullptr;
    UINT mask = MIIM_TYPE;
    if (isNew) {
        record = NewMenuItemData();
        if (!record)
            return;
        record->type = info.fType | MFT_OWNERDRAW;
        record->hasSubMenu = info.hSubMenu != nullptr;
        record->imageIndex = info.hSubMenu ? subMenuImage(info.hSubMenu) : FindCommandImage(info.wID);
        record->isDefault = (info.fState & MFS_DEFAULT) != 0;
        info.dwItemData = reinterpret_cast<ULONG_PTR>(record);
        mask |= MIIM_DATA;
    }
    if (!SetMenuItemText(*record, item.text.data(), std::strlen(item.text.data()))) {
        // Without room for the whole text the item would lose it: leave it as it is.
        if (isNew)
            FreeMenuItemData(record);
        return;
    }
    addOpenMenu(popup);
    info.fType |= MFT_OWNERDRAW;
    info.fMask = mask;
    info.cch = static_cast<UINT>(std::strlen(item.text.data()));
    SetMenuItemInfoA(popup, position, TRUE, &info);
}

// Gives one item its own type, text and item data back, when its item data
// is a record of the library.
void restoreItem(HMENU popup, int position, MenuItem& item)
{
    MENUITEMINFOA& info = item.info;
    MenuItemData* record = AsMenuItemData(info.dwItemData);
    if (!record)
        return;
    std::string text;
    UINT mask = MIIM_DATA;
    if (info.fType & MFT_OWNERDRAW) {
        info.fType &= ~MFT_OWNERDRAW;
        mask |= MIIM_TYPE;
        text = FullMenuItemText(*record);
    }
    info.dwItemData = 0;
    if (mask & MIIM_TYPE) {
        info.dwTypeData = text.data();
        info.cch = static_cast<UINT>(text.size());
    }
    info.fMask = mask;
    SetMenuItemInfoA(popup, position, TRUE, &info);
    FreeMenuItemData(record);
}

void insertCaption(HMENU popup, MenuCaption& caption)
{
    MenuItemData* record = NewMenuItemData();
    if (!record)
        return;
    record->isCaption = true;
    SetMenuItemText(*record, caption.text, strnlen(caption.text, sizeof record->text - 1));
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_TYPE | MIIM_DATA;
    info.fType = MFT_OWNERDRAW;
    info.fState = MFS_GRAYED;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(record);
    if (!InsertMenuItemA(popup, 0, TRUE, &info)) {
        FreeMenuItemData(record);
        return;
    }
    caption.inserted = true;
    // Recorded even when no item of the popup was converted (an empty
    // popup), so that the close takes the caption item out again.
    addOpenMenu(popup);
}

// Deletes the caption item, but only when position 0 really holds the
// library's caption record: the host may have changed the popup meanwhile.
void removeCaption(HMENU popup, MenuCaption& caption)
{
    caption.inserted = false;
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    if (!GetMenuItemInfoA(popup, 0, TRUE, &info))
        return;
    MenuItemData* record = AsMenuItemData(info.dwItemData);
    if (!record || !record->isCaption)
        return;
    DeleteMenu(popup, 0, MF_BYPOSITION);
    FreeMenuItemData(record);
}

}  // namespace

void WithdrawCaption(MenuCaption& caption)
{
    if (caption.inserted)
        removeCaption(caption.menu, caption);
}

namespace {

void restoreAllOpenMenus()
{
    RestoreOpenMenus(0xFFFF, nullptr);
}

// Snapshot of the image registrations, taken before they are dropped.
struct RegistrationSnapshot {
    std::vector<ToolbarEntry> toolbars;
    std::vector<IconResEntry> iconResources;
    std::vector<IconHandleEntry> iconHandles;  // fresh copies, handed over again
};

RegistrationSnapshot snapshotRegistrations()
{
    RegistrationSnapshot snapshot;
    for (int i = 0; i < g_toolbars.size(); ++i)
        snapshot.toolbars.push_back(*g_toolbars.get<ToolbarEntry>(i));
    for (int i = 0; i < g_iconResources.size(); ++i)
        snapshot.iconResources.push_back(*g_iconResources.get<IconResEntry>(i));
    for (int i = 0; i < g_iconHandles.size(); ++i) {
        const IconHandleEntry* entry = g_iconHandles.get<IconHandleEntry>(i);
        snapshot.iconHandles.push_back({CopyIcon(entry->icon), entry->commandId});
    }
    return snapshot;
}

void registerAgain(const RegistrationSnapshot& snapshot)
{
    for (const ToolbarEntry& entry : snapshot.toolbars)
        Nello_LoadToolbar(entry.hinstance, entry.resourceId);
    for (const IconResEntry& entry : snapshot.iconResources)
        Nello_AddIcon(entry.hinstance, entry.iconId, entry.commandId);
    for (const IconHandleEntry& entry : snapshot.iconHandles) {
        // A refused icon stays with its owner, which is this snapshot.
        if (entry.icon && !Nello_AddIcon(entry.icon, entry.commandId))
            DestroyIcon(entry.icon);
    }
}

LRESULT passOn(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

LRESULT onSettingChange(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ReloadMenuResources();
    return passOn(previous, window, message, wParam, lParam);
}

LRESULT onDrawItem(WNDPROC previous, HWND window, WPARAM wParam, DRAWITEMSTRUCT* dis)
{
    if (DrawMenuItem(dis))
        return TRUE;
    return passOn(previous, window, WM_DRAWITEM, wParam, reinterpret_cast<LPARAM>(dis));
}

LRESULT onMeasureItem(WNDPROC previous, HWND window, WPARAM wParam, MEASUREITEMSTRUCT* mis)
{
    if (MeasureMenuItem(mis))
        return TRUE;
    return passOn(previous, window, WM_MEASUREITEM, wParam, reinterpret_cast<LPARAM>(mis));
}

LRESULT onNcDestroy(WNDPROC previous, HWND window, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = passOn(previous, window, WM_NCDESTROY, wParam, lParam);
    Nello_UnInstall(window);
    return result;
}

LRESULT onInitMenuPopup(WNDPROC previous, HWND window, HMENU popup, WPARAM wParam, LPARAM lParam)
{
    // The host sees the popup first, so what it sets there is converted.
    // A host that uninstalled the window meanwhile gets its popup as it is:
    // nobody would draw or restore converted items.
    passOn(previous, window, WM_INITMENUPOPUP, wParam, lParam);
    if (const HookedWindow* hooked = findWindow(window)) {
        UseMenuDpi(hooked->dpi);
        ConvertMenu(popup, true);
    }
    return 0;
}

// The window moved to a screen of another DPI, given in the message; its
// next popup is measured and drawn at that DPI.
LRESULT onDpiChanged(WNDPROC previous, HWND window, WPARAM wParam, LPARAM lParam)
{
    if (HookedWindow* hooked = findWindow(window)) {
        hooked->dpi = LOWORD(wParam);
        UseMenuDpi(hooked->dpi);
    }
    return passOn(previous, window, WM_DPICHANGED, wParam, lParam);
}

LRESULT onMenuSelect(WNDPROC previous, HWND window, UINT flags, HMENU menu, WPARAM wParam, LPARAM lParam)
{
    RestoreOpenMenus(flags, menu);
    return passOn(previous, window, WM_MENUSELECT, wParam, lParam);
}

}  // namespace

bool Nello_Install(HWND window)
{
    // The registries are unsynchronised: the procedure of a window that
    // another thread runs would reach them from that thread.
    if (!IsWindow(window) || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId() ||
        findWindow(window))
        return false;
    auto* hooked = new (std::nothrow) HookedWindow{window, nullptr, dpi::ofWindow(window)};
    if (!hooked || g_windows.add(hooked) < 0) {
        delete hooked;
        return false;
    }
    hooked->prevWndProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MenuWndProc)));
    if (!hooked->prevWndProc) {
        g_windows.remove(hooked);
        delete hooked;
        return false;
    }
    return true;
}

bool Nello_UnInstall(HWND window)
{
    HookedWindow* hooked = findWindow(window);
    if (!hooked)
        return false;
    restoreAllOpenMenus();
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hooked->prevWndProc));
    g_windows.remove(hooked);
    delete hooked;
    return true;
}

void ReleaseInstalledWindows()
{
    restoreAllOpenMenus();
    for (int i = 0; i < g_windows.size(); ++i) {
        HookedWindow* hooked = g_windows.get<HookedWindow>(i);
        if (IsWindow(hooked->hwnd))
            SetWindowLongPtrA(hooked->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hooked->prevWndProc));
        delete hooked;
    }
    g_windows.clear();
}

LRESULT CALLBACK MenuWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const HookedWindow* hooked = findWindow(window);
    if (!hooked)
        return DefWindowProcA(window, message, wParam, lParam);
    // The record may go while the message is handled; the handlers work
    // from this copy.
    const WNDPROC previous = hooked->prevWndProc;
    switch (message) {
    case WM_SYSCOLORCHANGE:
    case WM_WININICHANGE:
        return onSettingChange(previous, window, message, wParam, lParam);
    case WM_DPICHANGED:
        return onDpiChanged(previous, window, wParam, lParam);
    case WM_DRAWITEM:
        return onDrawItem(previous, window, wParam, reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    case WM_MEASUREITEM:
        return onMeasureItem(previous, window, wParam, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_NCDESTROY:
        return onNcDestroy(previous, window, wParam, lParam);
    case WM_INITMENUPOPUP:
        return onInitMenuPopup(previous, window, reinterpret_cast<HMENU>(wParam), wParam, lParam);
    case WM_MENUSELECT:
        return onMenuSelect(previous, window, HIWORD(wParam), reinterpret_cast<HMENU>(lParam), wParam, lParam);
    default:
        return passOn(previous, window, message, wParam, lParam);
    }
}

void ConvertMenu(HMENU popup, bool toOwnerDraw)
{
    MenuCaption* caption = findCaption(popup);
    if (!toOwnerDraw && caption && caption->inserted)
        removeCaption(popup, *caption);
    const int count = GetMenuItemCount(popup);
    MenuItem item;
    for (int i = 0; i < count; ++i) {
        if (!readItem(popup, i, item))
            continue;
        if (i == 0 && isSystemMenu(item.info))
            return;
        if (toOwnerDraw)
            convertItem(popup, i, item);
        else
            restoreItem(popup, i, item);
    }
    if (toOwnerDraw && caption && !caption->inserted)
        insertCaption(popup, *caption);
}

void RestoreOpenMenus(UINT flags, HMENU menu)
{
    if (menu || flags != 0xFFFF)
        return;
    for (int i = g_openMenus.size() - 1; i >= 0; --i)
        ConvertMenu(static_cast<HMENU>(g_openMenus.at(i)), false);
    g_openMenus.clear();
}

void ReloadMenuResources()
{
    ReadMenuColors();
    const RegistrationSnapshot snapshot = snapshotRegistrations();
    Nello_UnLoadToolbars();
    registerAgain(snapshot);
    DeleteMenuFonts();
    CreateMenuFonts();
    g_captionButtonHeight = MenuMetric(SM_CYSIZE);
    g_menuBarHeight = MenuMetric(SM_CYMENU);
}
