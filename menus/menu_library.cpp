// Start-up and teardown of the menu library, its registrations of icons,
// captions and sub-menu images, and the map from commands to images.
#include "fail_soft.h"
#include "menu_state.h"
#include "menu_dpi.h"
#include "nellolib.h"

#include <cstring>
#include <new>

namespace {

// The reference to msimg32 taken at start-up, given back once at teardown.
HMODULE g_msimg32 = nullptr;

template <class Record, class Match>
int findRecord(const PtrArray& registry, Match match)
{
    for (int i = 0; i < registry.size(); ++i)
        if (match(*registry.get<Record>(i)))
            return i;
    return -1;
}

template <class Record>
void freeAll(PtrArray& registry)
{
    for (int i = 0; i < registry.size(); ++i)
        delete registry.get<Record>(i);
    registry.clear();
}

// Appends a record to its registry; on failure the record is freed.
template <class Record>
bool appendRecord(PtrArray& registry, Record* record)
{
    if (!record)
        return false;
    if (registry.add(record) < 0) {
        delete record;
        return false;
    }
    return true;
}

HBRUSH createHalftoneBrush()
{
    static const WORD rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, rows);
    HBRUSH brush = CreatePatternBrush(pattern);
    DeleteObject(pattern);
    return brush;
}

void freeCaptions()
{
    for (int i = 0; i < g_captions.size(); ++i) {
        MenuCaption* caption = g_captions.get<MenuCaption>(i);
        delete[] caption->text;
        delete caption;
    }
    g_captions.clear();
}

}  // namespace

void ReadMenuMetrics()
{
    g_captionButtonHeight = MenuMetric(SM_CYSIZE);
    g_menuBarHeight = MenuMetric(SM_CYMENU);
    g_menuCheckWidth = MenuMetric(SM_CXMENUCHECK);
}

void ReadMenuColors()
{
    g_menuColor = GetSysColor(COLOR_MENU);
    g_menuTextColor = GetSysColor(COLOR_MENUTEXT);
    g_hotColor = GetSysColor(COLOR_HOTLIGHT);
    g_highlightColor = GetSysColor(COLOR_BTNHIGHLIGHT);
    g_shadowColor = GetSysColor(COLOR_BTNSHADOW);
    g_captionColor = GetSysColor(COLOR_ACTIVECAPTION);
    g_captionGradientColor = GetSysColor(COLOR_GRADIENTACTIVECAPTION);
    g_captionTextColor = GetSysColor(COLOR_CAPTIONTEXT);
}

void InitMenuLibrary()
{
    InitCommonControls();
    g_menuDpi = dpi::ofSystem();
    ReadMenuColors();
    CreateMenuFonts();
    g_emptyRegion = CreateRectRgn(0, 0, 0, 0);
    g_halftoneBrush = createHalftoneBrush();
    ReadMenuMetrics();
    g_lookMode = 0;
    g_msimg32 = LoadLibraryA("msimg32.dll");
    g_gradientFill = nullptr;
    if (g_msimg32)
        g_gradientFill = reinterpret_cast<GradientFillFunction>(GetProcAddress(g_msimg32, "GradientFill"));
}

void ShutdownMenuLibrary()
{
    ReleaseInstalledWindows();
    DeleteMenuFonts();
    DeleteObject(g_emptyRegion);
    DeleteObject(g_halftoneBrush);
    g_emptyRegion = nullptr;
    g_halftoneBrush = nullptr;
    Nello_UnLoadToolbars();
    if (g_msimg32)
        FreeLibrary(g_msimg32);
    g_msimg32 = nullptr;
    g_gradientFill = nullptr;
    freeCaptions();
    freeAll<SubMenuButton>(g_subMenuButtons);
    g_iconHandles.clear();
    g_iconResources.clear();
    g_toolbars.clear();
    g_openMenus.clear();
    g_windows.clear();
    g_commandImages.clear();
    g_lookMode = 0;
}

bool EnsureImageList(int width, int height)
{
    if (g_imageWidth != 0)
        return true;
    HIMAGELIST list = ImageList_Create(AtMenuDpi(width), AtMenuDpi(height), kImageListFlags, 0, 10);
    if (!list)
        return false;
    g_imageList = list;
    g_imageBaseWidth = width;
    g_imageBaseHeight = height;
    g_imageWidth = AtMenuDpi(width);
    g_imageHeight = AtMenuDpi(height);
    return true;
}

void MapCommandImage(unsigned int commandId, int imageIndex)
{
    if (findRecord<CommandImage>(g_commandImages, [&](const CommandImage& c) { return c.commandId == commandId; }) >= 0)
        return;
    appendRecord(g_commandImages, new (std::nothrow) CommandImage{commandId, imageIndex});
}

int FindCommandImage(unsigned int commandId)
{
    const int at = findRecord<CommandImage>(g_commandImages, [&](const CommandImage& c) { return c.commandId == commandId; });
    return at < 0 ? -1 : g_commandImages.get<CommandImage>(at)->imageIndex;
}

static bool addIconResource(HINSTANCE module, unsigned int iconId, unsigned int commandId)
{
    if (findRecord<IconResEntry>(g_iconResources, [&](const IconResEntry& e) {
            return e.hinstance == module && e.iconId == iconId && e.commandId == commandId;
        }) >= 0)
        return false;
    NewImageListUndo undo;
    if (!EnsureImageList(16, 16))
        return false;
    HICON icon = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(LOWORD(iconId)), IMAGE_ICON,
                                               g_imageWidth, g_imageHeight, LR_DEFAULTCOLOR));
    if (!icon)
        return false;
    auto* entry = new (std::nothrow) IconResEntry{module, iconId, commandId};
    const int index = ImageList_GetImageCount(g_imageList);
    const bool added = entry && ImageList_ReplaceIcon(g_imageList, -1, icon) != -1;
    DestroyIcon(icon);
    if (!added) {
        delete entry;
        return false;
    }
    undo.keep();
    MapCommandImage(commandId, index);
    return appendRecord(g_iconResources, entry);
}

bool Nello_AddIcon(HINSTANCE module, unsigned int iconId, unsigned int commandId)
{
    return failSoft(false, [&] { return addIconResource(module, iconId, commandId); });
}

static bool addIconHandle(HICON icon, unsigned int commandId)
{
    if (findRecord<IconHandleEntry>(g_iconHandles, [&](const IconHandleEntry& e) {
            return e.icon == icon && e.commandId == commandId;
        }) >= 0)
        return false;
    NewImageListUndo undo;
    if (!icon || !EnsureImageList(16, 16))
        return false;
    // The copy is made before anything changes, so that every refusal
    // leaves the handed icon with the caller and the library as it was.
    HICON copy = CopyIcon(icon);
    auto* entry = copy ? new (std::nothrow) IconHandleEntry{copy, commandId} : nullptr;
    const int index = ImageList_GetImageCount(g_imageList);
    if (!entry || ImageList_ReplaceIcon(g_imageList, -1, icon) == -1) {
        delete entry;
        if (copy)
            DestroyIcon(copy);
        return false;
    }
    undo.keep();
    MapCommandImage(commandId, index);
    if (g_iconHandles.add(entry) < 0) {
        // The image stays in the list, but the registration cannot be kept.
        DestroyIcon(copy);
        delete entry;
        return false;
    }
    DestroyIcon(icon);
    return true;
}

bool Nello_AddIcon(HICON icon, unsigned int commandId)
{
    return failSoft(false, [&] { return addIconHandle(icon, commandId); });
}

static bool setCaption(HMENU menu, const char* text)
{
    const int at = findRecord<MenuCaption>(g_captions, [&](const MenuCaption& c) { return c.menu == menu; });
    if (text) {
        // A registration for a handle that is no menu would wait for
        // whatever menu is given that handle value next.
        if (at >= 0 || !IsMenu(menu))
            return false;
        const std::size_t length = std::strlen(text);
        char* copy = new (std::nothrow) char[length + 1];
        if (!copy)
            return false;
        std::memcpy(copy, text, length + 1);
        auto* caption = new (std::nothrow) MenuCaption{false, menu, copy};
        if (!caption || g_captions.add(caption) < 0) {
            delete caption;
            delete[] copy;
            return false;
        }
        return true;
    }
    if (at < 0)
        return false;
    MenuCaption* caption = g_captions.get<MenuCaption>(at);
    // Removed while its popup is open: nothing would take the item out at
    // the close, and the host's popup would keep it for good.
    WithdrawCaption(*caption);
    g_captions.removeAt(at);
    delete[] caption->text;
    delete caption;
    return true;
}

bool Nello_SetCaption(HMENU menu, const char* text)
{
    return failSoft(false, [&] { return setCaption(menu, text); });
}

bool Nello_SetSubMenuButtonId(HMENU menu, unsigned int commandId)
{
    const int at = findRecord<SubMenuButton>(g_subMenuButtons, [&](const SubMenuButton& s) { return s.menu == menu; });
    if (commandId != 0) {
        if (at >= 0 || !IsMenu(menu))
            return false;
        return appendRecord(g_subMenuButtons, new (std::nothrow) SubMenuButton{menu, commandId});
    }
    if (at < 0)
        return false;
    delete g_subMenuButtons.get<SubMenuButton>(at);
    g_subMenuButtons.removeAt(at);
    return true;
}

void Nello_SetLookMode(int mode)
{
    if (mode == 0 || mode == 1)
        g_lookMode = mode;
}

void DropImageList()
{
    ForgetReadyImages();
    if (g_imageList) {
        ImageList_Remove(g_imageList, -1);
        ImageList_Destroy(g_imageList);
        g_imageList = nullptr;
    }
    g_imageWidth = 0;
    g_imageHeight = 0;
    g_imageBaseWidth = 0;
    g_imageBaseHeight = 0;
}

void Nello_UnLoadToolbars()
{
    DropImageList();
    freeAll<CommandImage>(g_commandImages);
    freeAll<ToolbarEntry>(g_toolbars);
    freeAll<IconResEntry>(g_iconResources);
    for (int i = 0; i < g_iconHandles.size(); ++i) {
        IconHandleEntry* entry = g_iconHandles.get<IconHandleEntry>(i);
        DestroyIcon(entry->icon);
        delete entry;
    }
    g_iconHandles.clear();
}
