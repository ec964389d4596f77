// Toolbar images from a module's resources: the bitmap with its standard
// colours turned into the system colours, cut into the shared image list,
// and each button's command bound to its image.
#include "fail_soft.h"
#include "menu_state.h"
#include "nellolib.h"
#include "toolbar_resource.h"
#include "image_scaling.h"
#include "menu_dpi.h"
#include "gdi_owners.h"

#include <new>

namespace {

// A located resource's bytes and size; empty when it cannot be loaded.
struct ResourceBytes {
    const void* data = nullptr;
    std::size_t size = 0;
};

ResourceBytes lockResource(HINSTANCE module, HRSRC resource)
{
    if (!resource)
        return {};
    HGLOBAL loaded = LoadResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(module, resource);
    if (!data || size == 0)
        return {};
    return {data, size};
}

bool isToolbarRegistered(HINSTANCE module, unsigned int resourceId)
{
    for (int i = 0; i < g_toolbars.size(); ++i) {
        const ToolbarEntry* entry = g_toolbars.get<ToolbarEntry>(i);
        if (entry->hinstance == module && entry->resourceId == resourceId)
            return true;
    }
    return false;
}

HBITMAP toScreenBitmap(const DecodedBitmap& decoded)
{
    owners::WindowDc screen(nullptr);
    if (!screen)
        return nullptr;
    owners::Bitmap result(CreateCompatibleBitmap(screen.get(), decoded.width, decoded.height));
    owners::MemoryDc memory(CreateCompatibleDC(screen.get()));
    if (!result || !memory)
        return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = decoded.width;
    info.bmiHeader.biHeight = -decoded.height;  // rows top to bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    {
        owners::Selection selected(memory.get(), result.get());
        if (StretchDIBits(memory.get(), 0, 0, decoded.width, decoded.height, 0, 0, decoded.width,
                          decoded.height, decoded.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY) == 0)
            return nullptr;
    }
    return result.release();
}

// The pixels of a bitmap, rows top to bottom; empty when they cannot be read.
DecodedBitmap readPixels(HBITMAP bitmap)
{
    DecodedBitmap pixels;
    BITMAP info = {};
    if (!GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return pixels;
    BITMAPINFO request = {};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = info.bmWidth;
    request.bmiHeader.biHeight = -info.bmHeight;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> rows(static_cast<std::size_t>(info.bmWidth) * info.bmHeight);
    owners::WindowDc screen(nullptr);
    if (!screen || GetDIBits(screen.get(), bitmap, 0, info.bmHeight, rows.data(), &request, DIB_RGB_COLORS) !=
                       info.bmHeight)
        return pixels;
    pixels.width = info.bmWidth;
    pixels.height = info.bmHeight;
    pixels.pixels = std::move(rows);
    return pixels;
}

// The toolbar's images brought from its button size to the image list's,
// smoothly, with the transparent background kept; null on failure.
HBITMAP scaleToolbarImages(HBITMAP bitmap, const ToolbarLayout& layout)
{
    const DecodedBitmap strip = readPixels(bitmap);
    const int cells = strip.width / layout.buttonWidth;
    const DecodedBitmap scaled =
        ScaleImageCells(strip, layout.buttonWidth, layout.buttonHeight, cells, g_imageWidth, g_imageHeight,
                        ToDibColour(GetSysColor(COLOR_BTNFACE)));
    return scaled.pixels.empty() ? nullptr : toScreenBitmap(scaled);
}

// A toolbar fits the image list when it is made for the images' size at
// the library's DPI, or for their 96-DPI size, which is then scaled.
bool fitsImageList(const ToolbarLayout& layout)
{
    return (layout.buttonWidth == g_imageWidth && layout.buttonHeight == g_imageHeight) ||
           (layout.buttonWidth == g_imageBaseWidth && layout.buttonHeight == g_imageBaseHeight);
}

}  // namespace

HBITMAP LoadToolbarBitmap(HINSTANCE module, HRSRC bitmapResource)
{
    const ResourceBytes bytes = lockResource(module, bitmapResource);
    DecodedBitmap decoded;
    if (!bytes.data || !DecodeToolbarBitmap(bytes.data, bytes.size, CurrentStandardColours(), decoded))
        return nullptr;
    return toScreenBitmap(decoded);
}

static bool loadToolbar(HINSTANCE module, unsigned int resourceId)
{
    if (isToolbarRegistered(module, resourceId))
        return false;
    LPCSTR name = MAKEINTRESOURCEA(LOWORD(resourceId));
    HRSRC bitmapResource = FindResourceA(module, name, reinterpret_cast<LPCSTR>(RT_BITMAP));
    if (!bitmapResource)
        return false;
    owners::Bitmap bitmap(LoadToolbarBitmap(module, bitmapResource));
    if (!bitmap)
        return false;
    const ResourceBytes toolbar = lockResource(module, FindResourceA(module, name, MAKEINTRESOURCEA(0xF1)));
    ToolbarLayout layout;
    if (!toolbar.data || !ParseToolbarResource(toolbar.data, toolbar.size, layout))
        return false;

    if (g_imageWidth != 0 && !fitsImageList(layout))
        return false;
    auto* entry = new (std::nothrow) ToolbarEntry{module, resourceId};
    if (!entry)
        return false;
    NewImageListUndo undo;
    if (!EnsureImageList(layout.buttonWidth, layout.buttonHeight) ||
        g_toolbars.add(entry) < 0) {
        delete entry;
        return false;
    }
    if (layout.buttonWidth != g_imageWidth || layout.buttonHeight != g_imageHeight)
        bitmap.reset(scaleToolbarImages(bitmap.get(), layout));
    const int first = ImageList_GetImageCount(g_imageList);
    if (!bitmap || ImageList_AddMasked(g_imageList, bitmap.get(), GetSysColor(COLOR_BTNFACE)) == -1) {
        g_toolbars.remove(entry);
        delete entry;
        return false;
    }
    undo.keep();
    // A command listed past the bitmap's last image stays unbound: its
    // index will hold the next registration's image, which is not its own.
    const int end = ImageList_GetImageCount(g_imageList);
    int index = first;
    for (std::uint16_t id : layout.commandIds) {
        if (id == 0)
            continue;  // a separator has no image
        if (index >= end)
            break;
        MapCommandImage(id, index++);
    }
    return true;
}

bool Nello_LoadToolbar(HINSTANCE module, unsigned int resourceId)
{
    return failSoft(false, [&] { return loadToolbar(module, resourceId); });
}
