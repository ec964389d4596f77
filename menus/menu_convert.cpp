// Installed windows and the conversion of their popups: owner-drawn with a
// record per item while a menu is open, exactly as the host built them again
// when it closes.
#include "fail_soft.h"
#include "menu_state.h"
#include "menu_dpi.h"
#include "nellolib.h"

#include "wide_text.h"

#include <cstring>
#include <cwchar>
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

// One item as read: its info, and its whole text in UTF-16.
struct MenuItem {
    MENUITEMINFOW info;
    std::wstring text;
};

std::wstring itemText(HMENU popup, int position)
{
    // The length first, so that no text is cut by the buffer.
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    if (!GetMenuItemInfoW(popup, position, TRUE, &info) || info.cch == 0)
        return {};
    std::wstring text(info.cch + 1, L'\0');
    info.dwTypeData = &text[0];
    info.cch = static_cast<UINT>(text.size());
    if (!GetMenuItemInfoW(popup, position, TRUE, &info) || !info.dwTypeData)
        return {};
    text.resize(std::wcslen(text.c_str()));
    return text;
}

// withText: giving an item back needs no text, so the close reads none and
// cannot run out of memory halfway through a popup.
bool readItem(HMENU popup, int position, MenuItem& item, bool withText)
{
    item.info = {};
    item.info.cbSize = sizeof item.info;
    item.info.fMask = kReadMask;
    if (!GetMenuItemInfoW(popup, position, TRUE, &item.info))
        return false;
    item.info.dwTypeData = nullptr;
    if (withText)
        item.text = itemText(popup, position);
    return true;
}

bool isSystemMenu(const MENUITEMINFOW& first)
{
    return first.wID >= kFirstSystemCommand && !first.hSubMenu;
}

// False when the popup could not be recorded: nothing of it may then be
// converted, since the close gives back only the popups recorded here.
bool addOpenMenu(HMENU popup)
{
    return g_openMenus.indexOf(popup) >= 0 || g_openMenus.add(popup) >= 0;
}

// Makes one item owner-drawn with its record. Only the type changes in the
// menu: the item keeps its own string, so whoever reads the menu while it is
// open (a screen reader, the host) still finds the text, and the close has
// nothing to write back but the type. Items drawn by the host or carrying
// its item data, and bitmap items, are not the library's to touch.
void convertItem(HMENU popup, int position, const MenuItem& item)
{
    const MENUITEMINFOW& info = item.info;
    if (info.fType & (MFT_OWNERDRAW | MFT_BITMAP))
        return;
    MenuItemData* record = AsMenuItemData(info.dwItemData);
    if (info.dwItemData && !record)
        return;
    MENUITEMINFOW change = {};
    change.cbSize = sizeof change;
    change.fMask = MIIM_FTYPE;
    change.fType = info.fType | MFT_OWNERDRAW;
    if (!record) {
        record = NewMenuItemData();
        if (!record)
            return;
        record->type = info.fType | MFT_OWNERDRAW;
        record->hasSubMenu = info.hSubMenu != nullptr;
        record->imageIndex = info.hSubMenu ? subMenuImage(info.hSubMenu) : FindCommandImage(info.wID);
        record->isDefault = (info.fState & MFS_DEFAULT) != 0;
        record->popup = popup;
        change.fMask |= MIIM_DATA;
        change.dwItemData = reinterpret_cast<ULONG_PTR>(record);
    }
    try {
        SetMenuItemText(*record, item.text);
    } catch (...) {
        // Without room for the text the item could not be drawn: leave it as it is.
        if (change.fMask & MIIM_DATA)
            FreeMenuItemData(record);
        return;
    }
    if (!addOpenMenu(popup)) {
        if (change.fMask & MIIM_DATA)
            FreeMenuItemData(record);
        return;
    }
    SetMenuItemInfoW(popup, position, TRUE, &change);
}

// Gives one item its own type and an item data of 0 back, when its item
// data is a record of the library. Its string never left it.
void restoreItem(HMENU popup, int position, const MenuItem& item)
{
    MenuItemData* record = AsMenuItemData(item.info.dwItemData);
    if (!record)
        return;
    MENUITEMINFOW change = {};
    change.cbSize = sizeof change;
    change.fMask = MIIM_DATA;
    if (item.info.fType & MFT_OWNERDRAW) {
        change.fMask |= MIIM_FTYPE;
        change.fType = item.info.fType & ~MFT_OWNERDRAW;
    }
    SetMenuItemInfoW(popup, position, TRUE, &change);
    FreeMenuItemData(record);
}

void insertCaption(HMENU popup, MenuCaption& caption)
{
    MenuItemData* record = NewMenuItemData();
    if (!record)
        return;
    record->isCaption = true;
    record->popup = popup;
    std::wstring text;
    try {
        text = wide_text::fromAnsi(caption.text, static_cast<int>(std::strlen(caption.text)));
        SetMenuItemText(*record, text);
    } catch (...) {
        FreeMenuItemData(record);
        return;
    }
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
    info.fType = MFT_OWNERDRAW;
    info.fState = MFS_GRAYED;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(record);
    info.dwTypeData = &text[0];
    // Recorded first, even when no item of the popup was converted (an
    // empty popup), so that the close takes the caption item out again.
    if (!addOpenMenu(popup) || !InsertMenuItemW(popup, 0, TRUE, &info)) {
        FreeMenuItemData(record);
        return;
    }
    caption.inserted = true;
}

// Deletes the library's caption items wherever they are now (the host may
// have put items in front of them while the popup was open), and nothing
// else: an item at the top that is not the library's caption stays.
void removeCaptionItems(HMENU popup)
{
    for (int i = GetMenuItemCount(popup) - 1; i >= 0; --i) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA;
        if (!GetMenuItemInfoW(popup, i, TRUE, &info))
            continue;
        MenuItemData* record = AsMenuItemData(info.dwItemData);
        if (!record || !record->isCaption)
            continue;
        DeleteMenu(popup, i, MF_BYPOSITION);
        FreeMenuItemData(record);
    }
}

void removeCaption(HMENU popup, MenuCaption& caption)
{
    caption.inserted = false;
    removeCaptionItems(popup);
}

}  // namespace

void WithdrawCaption(MenuCaption& caption)
{
    if (caption.inserted)
        removeCaption(caption.menu, caption);
}

namespace {

// Where each menu loop running now began in g_openMenus, innermost last: a
// loop opened from inside another one (TPM_RECURSE) gives back only the
// popups that it converted, while the outer ones are still on screen.
std::vector<int> g_loopStarts;

// Gives back the popups converted since position `from` of g_openMenus,
// the last converted first.
void restoreOpenMenusFrom(int from)
{
    for (int i = g_openMenus.size() - 1; i >= from && i >= 0; --i) {
        ConvertMenu(static_cast<HMENU>(g_openMenus.at(i)), false);
        g_openMenus.removeAt(i);
    }
    if (g_openMenus.empty())
        g_openMenus.clear();  // releases the storage
}

void restoreAllOpenMenus()
{
    g_loopStarts.clear();
    restoreOpenMenusFrom(0);
    // Records whose popup the host destroyed or emptied while it was open.
    FreeMenuItemDataOf(nullptr);
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
    // Room first: a copied icon is never in hand when an allocation fails.
    snapshot.iconHandles.reserve(g_iconHandles.size());
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

LRESULT onSettingChange(const WindowSubclass& previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Out of memory the images stay as they were; the host still gets its
    // message.
    failSoft(false, [] {
        ReloadMenuResources();
        return true;
    });
    return previous.callPrevious(window, message, wParam, lParam);
}

LRESULT onDrawItem(const WindowSubclass& previous, HWND window, WPARAM wParam, DRAWITEMSTRUCT* dis)
{
    if (DrawMenuItem(dis))
        return TRUE;
    return previous.callPrevious(window, WM_DRAWITEM, wParam, reinterpret_cast<LPARAM>(dis));
}

LRESULT onMeasureItem(const WindowSubclass& previous, HWND window, WPARAM wParam, MEASUREITEMSTRUCT* mis)
{
    if (MeasureMenuItem(mis))
        return TRUE;
    return previous.callPrevious(window, WM_MEASUREITEM, wParam, reinterpret_cast<LPARAM>(mis));
}

LRESULT onNcDestroy(const WindowSubclass& previous, HWND window, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = previous.callPrevious(window, WM_NCDESTROY, wParam, lParam);
    Nello_UnInstall(window);
    return result;
}

LRESULT onInitMenuPopup(const WindowSubclass& previous, HWND window, HMENU popup, WPARAM wParam, LPARAM lParam)
{
    // The host sees the popup first, so what it sets there is converted.
    // A host that uninstalled the window meanwhile gets its popup as it is:
    // nobody would draw or restore converted items.
    previous.callPrevious(window, WM_INITMENUPOPUP, wParam, lParam);
    if (const HookedWindow* hooked = findWindow(window)) {
        UseMenuDpi(hooked->dpi);
        ConvertMenu(popup, true);
    }
    return 0;
}

// The window moved to a screen of another DPI, given in the message; its
// next popup is measured and drawn at that DPI.
LRESULT onDpiChanged(const WindowSubclass& previous, HWND window, WPARAM wParam, LPARAM lParam)
{
    if (HookedWindow* hooked = findWindow(window)) {
        hooked->dpi = LOWORD(wParam);
        UseMenuDpi(hooked->dpi);
    }
    return previous.callPrevious(window, WM_DPICHANGED, wParam, lParam);
}

LRESULT onMenuSelect(const WindowSubclass& previous, HWND window, UINT flags, HMENU menu, WPARAM wParam,
                     LPARAM lParam)
{
    RestoreOpenMenus(flags, menu);
    return previous.callPrevious(window, WM_MENUSELECT, wParam, lParam);
}

LRESULT onEnterMenuLoop(const WindowSubclass& previous, HWND window, WPARAM wParam, LPARAM lParam)
{
    try {
        g_loopStarts.push_back(g_openMenus.size());
    } catch (...) {
        // Without its mark the loop's close gives back the outer loop's
        // popups as well: too early, but nothing is lost.
    }
    return previous.callPrevious(window, WM_ENTERMENULOOP, wParam, lParam);
}

LRESULT onExitMenuLoop(const WindowSubclass& previous, HWND window, WPARAM wParam, LPARAM lParam)
{
    // The close signal has given this loop's popups back already; whatever
    // a loop that ended without one converted goes back now.
    if (!g_loopStarts.empty()) {
        restoreOpenMenusFrom(g_loopStarts.back());
        g_loopStarts.pop_back();
    }
    return previous.callPrevious(window, WM_EXITMENULOOP, wParam, lParam);
}

// The character as UTF-16: an ANSI window receives it in the ANSI code
// page, a lead byte in the low byte and its trail byte in the high one.
wchar_t menuCharacter(const WindowSubclass& set, WORD character)
{
    if (set.unicode())
        return character;
    const char bytes[2] = {static_cast<char>(LOBYTE(character)), static_cast<char>(HIBYTE(character))};
    const std::wstring wide = wide_text::fromAnsi(bytes, bytes[1] ? 2 : 1);
    return wide.empty() ? 0 : wide[0];
}

LRESULT onMenuChar(const WindowSubclass& previous, HWND window, WPARAM wParam, HMENU popup)
{
    // Systems that do not match the mnemonics of owner-drawn items
    // themselves ask the owner; the host is asked when no item of the
    // library's has the character.
    if (g_openMenus.indexOf(popup) >= 0) {
        const LRESULT answer = AnswerMenuChar(popup, menuCharacter(previous, LOWORD(wParam)));
        if (answer != -1)
            return answer;
    }
    return previous.callPrevious(window, WM_MENUCHAR, wParam, reinterpret_cast<LPARAM>(popup));
}

// Same-letter test for any script: both sides upper-cased by the system.
bool sameLetter(wchar_t a, wchar_t b)
{
    auto upper = [](wchar_t c) {
        return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(c))));
    };
    return a == b || upper(a) == upper(b);
}

}  // namespace

LRESULT AnswerMenuChar(HMENU popup, wchar_t key)
{
    if (key == 0)
        return -1;
    std::vector<int> matches;
    int highlighted = -1;
    const int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_DATA;
        if (!GetMenuItemInfoW(popup, i, TRUE, &info))
            continue;
        if (info.fState & MFS_HILITE)
            highlighted = i;
        const MenuItemData* record = AsMenuItemData(info.dwItemData);
        if (!record || record->isCaption || (record->type & MFT_SEPARATOR))
            continue;
        const wchar_t mnemonic = MnemonicOf(record->wideText);
        if (mnemonic && sameLetter(mnemonic, key))
            matches.push_back(i);
    }
    if (matches.empty())
        return -1;
    if (matches.size() == 1)
        return MAKELRESULT(matches[0], MNC_EXECUTE);
    // Several share the letter: each press moves to the next of them.
    for (int position : matches)
        if (position > highlighted)
            return MAKELRESULT(position, MNC_SELECT);
    return MAKELRESULT(matches[0], MNC_SELECT);
}

bool Nello_Install(HWND window)
{
    // The registries are unsynchronised: the procedure of a window that
    // another thread runs would reach them from that thread.
    if (!IsWindow(window) || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId() ||
        findWindow(window))
        return false;
    auto* hooked = new (std::nothrow) HookedWindow{window, {}, dpi::ofWindow(window)};
    if (!hooked || g_windows.add(hooked) < 0) {
        delete hooked;
        return false;
    }
    // A Unicode window stays Unicode: its texts never pass the ANSI code page.
    if (!hooked->subclass.install(window, MenuWndProc)) {
        g_windows.remove(hooked);
        delete hooked;
        return false;
    }
    return true;
}

static bool unInstall(HWND window)
{
    HookedWindow* hooked = findWindow(window);
    if (!hooked)
        return false;
    restoreAllOpenMenus();
    hooked->subclass.restore(window);
    g_windows.remove(hooked);
    delete hooked;
    return true;
}

bool Nello_UnInstall(HWND window)
{
    return failSoft(false, [&] { return unInstall(window); });
}

void ReleaseInstalledWindows()
{
    restoreAllOpenMenus();
    for (int i = 0; i < g_windows.size(); ++i) {
        HookedWindow* hooked = g_windows.get<HookedWindow>(i);
        if (IsWindow(hooked->hwnd))
            hooked->subclass.restore(hooked->hwnd);
        delete hooked;
    }
    g_windows.clear();
}

static LRESULT dispatchMenuMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const HookedWindow* hooked = findWindow(window);
    if (!hooked)
        return IsWindowUnicode(window) ? DefWindowProcW(window, message, wParam, lParam)
                                       : DefWindowProcA(window, message, wParam, lParam);
    // The record may go while the message is handled; the handlers work
    // from this copy.
    const WindowSubclass previous = hooked->subclass;
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
    case WM_MENUCHAR:
        return onMenuChar(previous, window, wParam, reinterpret_cast<HMENU>(lParam));
    case WM_ENTERMENULOOP:
        return onEnterMenuLoop(previous, window, wParam, lParam);
    case WM_EXITMENULOOP:
        return onExitMenuLoop(previous, window, wParam, lParam);
    default:
        return previous.callPrevious(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK MenuWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return failSoft(LRESULT{0}, [&] { return dispatchMenuMessage(window, message, wParam, lParam); });
}

void ConvertMenu(HMENU popup, bool toOwnerDraw)
{
    MenuCaption* caption = findCaption(popup);
    if (!toOwnerDraw && caption)
        caption->inserted = false;
    if (!toOwnerDraw)
        removeCaptionItems(popup);
    try {
        const int count = GetMenuItemCount(popup);
        MenuItem item;
        for (int i = 0; i < count; ++i) {
            if (!readItem(popup, i, item, toOwnerDraw))
                continue;
            // The window menu is recognised when it opens; an item with a
            // system command that the host puts at its top later changes
            // nothing for the close.
            if (toOwnerDraw && i == 0 && isSystemMenu(item.info))
                return;
            if (toOwnerDraw)
                convertItem(popup, i, item);
            else
                restoreItem(popup, i, item);
        }
    } catch (...) {
        // Out of memory for a text: the items done so far are consistent.
    }
    if (toOwnerDraw && caption && !caption->inserted)
        insertCaption(popup, *caption);
    // What is left of the popup's records belongs to items the host
    // deleted while it was open.
    if (!toOwnerDraw)
        FreeMenuItemDataOf(popup);
}

void RestoreOpenMenus(UINT flags, HMENU menu)
{
    if (menu || flags != 0xFFFF)
        return;
    // Only the innermost running loop has closed.
    restoreOpenMenusFrom(g_loopStarts.empty() ? 0 : g_loopStarts.back());
}

void ReloadMenuResources()
{
    ReadMenuColors();
    const RegistrationSnapshot snapshot = snapshotRegistrations();
    Nello_UnLoadToolbars();
    registerAgain(snapshot);
    DeleteMenuFonts();
    CreateMenuFonts();
    ReadMenuMetrics();
}
