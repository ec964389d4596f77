// Memory the libraries take per record: the process's private bytes before
// and after attaching many buttons and registering many images.
#include "figures.h"
#include "host_windows.h"

#include "nellolib.h"
#include "tavrolib.h"

#include <psapi.h>

#include <string>
#include <vector>

namespace bench {

size_t privateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters) &&
        counters.PrivateUsage != 0)
        return counters.PrivateUsage;
    // Wine reports PrivateUsage as 0: add up the committed private pages.
    size_t total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    return total;
}

namespace {

// Private bytes before and after the records are made, and after they are freed.
MemoryRow growth(const std::string& what, int count, size_t before, size_t with, size_t after)
{
    MemoryRow row;
    row.what = what;
    row.count = count;
    row.before = before;
    row.with = with;
    row.after = after;
    return row;
}

void attachedButtons(Context& context, int dialogCount)
{
    const int perDialog = 20;
    std::vector<HWND> dialogs;
    for (int d = 0; d < dialogCount; ++d) {
        HWND dialog = createDialog(0, 0, 200, 100, false);
        for (int b = 0; dialog && b < perDialog; ++b)
            addPushButton(dialog, 100 + b, "Button", 0, 0, 80, 24, nullptr);
        if (dialog)
            dialogs.push_back(dialog);
    }
    pumpMessages();
    const size_t before = privateBytes();
    bool ok = dialogs.size() == static_cast<size_t>(dialogCount);
    for (HWND dialog : dialogs) {
        ok = Tavro_Install(dialog) && ok;
        for (int b = 0; b < perDialog; ++b)
            ok = Tavro_SetGlisk(dialog, 100 + b, true) && ok;
    }
    const size_t with = privateBytes();
    for (HWND dialog : dialogs)
        Tavro_UnInstall(dialog);
    const size_t after = privateBytes();
    for (HWND dialog : dialogs)
        DestroyWindow(dialog);
    pumpMessages();
    if (!ok)
        context.problem("memory: a dialog could not be made or installed, or a button attached");
    context.report.memory.push_back(growth("attached button (" + std::to_string(dialogCount) + " dialogs of " +
                                               std::to_string(perDialog) + " push buttons, installed and attached)",
                                           dialogCount * perDialog, before, with, after));
}

void registeredImages(Context& context, int toolbars)
{
    Nello_UnLoadToolbars();
    const size_t before = privateBytes();
    bool ok = true;
    for (int t = 0; t < toolbars; ++t)
        ok = Nello_LoadToolbar(context.module, kMemoryToolbarFirst + t) && ok;
    const size_t with = privateBytes();
    Nello_UnLoadToolbars();
    const size_t after = privateBytes();
    if (!ok)
        context.problem("memory: a toolbar of the memory series could not be loaded");
    context.report.memory.push_back(growth("registered image (" + std::to_string(toolbars) + " toolbars of " +
                                               std::to_string(kPopupItemsMax) + " 16 × 16 24-bit images)",
                                           toolbars * kPopupItemsMax, before, with, after));
}

// The copies of the images that painting keeps: every image of the memory
// toolbars painted once in each look, from popups of 100 items on an
// installed window. Freed with the images; "after" is the same toolbars
// registered again, not yet painted.
void paintedImages(Context& context, int toolbars)
{
    const int perPopup = 100;
    const int images = toolbars * kPopupItemsMax;
    HWND owner = createOwner(1280);
    if (!owner || !Nello_Install(owner)) {
        context.problem("memory: the menu owner could not be made or installed");
        if (owner)
            DestroyWindow(owner);
        return;
    }
    auto registerAll = [&] {
        Nello_UnLoadToolbars();
        bool ok = true;
        for (int t = 0; t < toolbars; ++t)
            ok = Nello_LoadToolbar(context.module, kMemoryToolbarFirst + t) && ok;
        return ok;
    };
    bool ok = registerAll();
    std::vector<HMENU> popups;
    for (int first = 0; first < images; first += perPopup)
        popups.push_back(createPopup(perPopup, static_cast<uint16_t>(kMemoryFirstCommand + first)));
    pumpMessages();
    const size_t before = privateBytes();
    for (int look : {0, 1}) {
        Nello_SetLookMode(look);
        for (HMENU popup : popups)
            openAndClose(owner, popup);
    }
    Nello_SetLookMode(0);
    const size_t with = privateBytes();
    ok = registerAll() && ok;
    const size_t after = privateBytes();
    Nello_UnLoadToolbars();
    Nello_UnInstall(owner);
    for (HMENU popup : popups)
        DestroyMenu(popup);
    DestroyWindow(owner);
    pumpMessages();
    if (!ok)
        context.problem("memory: a toolbar of the memory series could not be loaded");
    // Wine keeps the bits of compatible bitmaps out of the private bytes (a
    // 512 × 1024 one adds nothing to them): what shows is the grey look's
    // image list and the rest of the heap; the findings give the size of
    // the copies' bitmaps.
    context.report.memory.push_back(growth("registered image painted once in each look (" + std::to_string(images) +
                                               " images; the grey list and the ready copies, whose bitmap bits "
                                               "wine keeps out of the private bytes)",
                                           images, before, with, after));
}

}  // namespace

void memoryFigures(Context& context)
{
    attachedButtons(context, context.fast ? 10 : 500);
    registeredImages(context, context.fast ? 2 : kMemoryToolbars);
    paintedImages(context, context.fast ? 2 : kMemoryToolbars);
}

}  // namespace bench
