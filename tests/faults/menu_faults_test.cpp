// The menu library with an allocation failing at each point of its main
// scenario in turn: toolbars and icons registered, a caption and a submenu
// button set, a window installed, its popup opened, measured, painted and
// closed, then uninstalled and everything unloaded. Whatever failed, every
// item of the open popup is converted whole or left exactly as it was, the
// popup is given back exactly at the close, nothing leaks, and once
// allocations succeed again the library paints exactly as before.
#include "dib_surface.h"
#include "fault_hosts.h"
#include "fault_sweep.h"
#include "host_api.h"
#include "menu_items.h"
#include "robust_support.h"
#include "tavro_fixtures.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using robust::LoadedLibrary;
using testing_support::DibSurface;
using testing_support::itemsOf;
using testing_support::MenuItemSnapshot;

using faults::openPaintAndClose;
constexpr DWORD kRecordMagic = 0x3064696D;  // "mid0", the start of the library's item records

bool isLibraryRecord(ULONG_PTR data)
{
    return data && !IsBadReadPtr(reinterpret_cast<const void*>(data), sizeof(DWORD)) &&
           *reinterpret_cast<const DWORD*>(data) == kRecordMagic;
}

// While the popup is open: past the library's caption, if it is in, each
// item is either the host's item untouched or an owner-drawn item with a
// record of the library and the same command and submenu.
void expectItemsWholeOrUntouched(HMENU popup, const std::vector<MenuItemSnapshot>& built, long nth)
{
    auto open = itemsOf(popup);
    if (!open.empty() && open.size() == built.size() + 1 && isLibraryRecord(open.front().data))
        open.erase(open.begin());
    ASSERT_EQ(open.size(), built.size()) << "fault " << nth << ": items while open";
    for (std::size_t i = 0; i < open.size(); ++i) {
        if (open[i] == built[i])
            continue;
        const bool converted = (open[i].type & MFT_OWNERDRAW) && isLibraryRecord(open[i].data);
        EXPECT_TRUE(converted && open[i].id == built[i].id && open[i].subMenu == built[i].subMenu)
            << "fault " << nth << ": item " << i << " half converted: " << open[i] << " (was " << built[i] << ")";
    }
}

class MenuFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(fixtures, nullptr);
        robust::appendEveryKindOfItem(popup, sub);
        built = itemsOf(popup);
        builtSub = itemsOf(sub);
        windowLook = faults::lookOf(window);
    }
    void TearDown() override
    {
        DestroyMenu(popup);
        DestroyWindow(window);
        FreeLibrary(fixtures);
    }

    // Registrations, caption and install; with a fault armed any may refuse.
    void registerAndInstall(const robust::NelloApi& api)
    {
        api.loadToolbar(fixtures, FIXTURE_TOOLBAR_4BIT);
        api.addIconResource(fixtures, FIXTURE_ICON_COLOURS, 7);
        HICON icon = static_cast<HICON>(
            LoadImageA(fixtures, MAKEINTRESOURCEA(FIXTURE_ICON_PLAIN), IMAGE_ICON, 16, 16, 0));
        if (!api.addIconHandle(icon, 8))
            DestroyIcon(icon);  // refused: still the caller's
        api.setCaption(popup, "Faults \xE9t\xE9");
        api.setSubMenuButtonId(sub, 100);
        api.install(window);
    }

    std::vector<COLORREF> cleanPaint(const robust::NelloApi& api)
    {
        registerAndInstall(api);
        const auto pixels = openPaintAndClose(window, popup, surface, [] {});
        EXPECT_TRUE(api.unInstall(window));
        api.unLoadToolbars();
        return pixels;
    }

    faults::SweepRun runWithFault(faults::Fault kind, long nth, const std::vector<COLORREF>& reference,
                                  std::size_t& blocksLeft);
    // Blocks a run without any fault leaves after unloading: the runtime's
    // state of the thread, made at the first exception caught, which no
    // fault may add to.
    std::size_t runtimeBlocks = 0;
    void sweepScenario(faults::Fault kind);

    HMODULE fixtures = LoadLibraryA(TAVRO_FIXTURES_DLL);
    HWND window = testing_support::createTopLevelWindow("menu faults", robust::menuHostProc, WS_POPUP);
    HMENU popup = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    std::vector<MenuItemSnapshot> built, builtSub;
    faults::WindowLook windowLook;
    DibSurface surface{160, 24};
};

faults::SweepRun MenuFaults::runWithFault(faults::Fault kind, long nth, const std::vector<COLORREF>& reference,
                                         std::size_t& blocksLeft)
{
    LoadedLibrary dll("Nellolib.dll");
    robust::NelloApi api(dll);
    faults::LibraryFaults injected(dll.module());
    EXPECT_TRUE(injected.allocations.applied());
    // One refused registration and one whole clean run first, so that what
    // the runtime makes once (its per-thread exception state, its once-only
    // initialisations, which do not survive a failed allocation) exists
    // before faults are injected and blocks counted.
    injected.failAt(faults::Fault::Allocation, 1);
    EXPECT_FALSE(api.loadToolbar(fixtures, FIXTURE_TOOLBAR_4BIT));
    injected.disarm();
    api.unLoadToolbars();
    cleanPaint(api);
    // A real menu loop makes the system's own objects for menus once.
    if (robust::deepRun())
        testing_support::trackMenu(window, popup, {[] {}});
    // Objects the system makes for the library (the icon copies it keeps)
    // are not the library's own creations: the whole process is counted.
    const int processObjects = robust::liveGdiObjects();
    injected.allocations.forgetLive();
    injected.failAt(kind, nth);
    registerAndInstall(api);
    openPaintAndClose(window, popup, surface, [&] { expectItemsWholeOrUntouched(popup, built, nth); });
    EXPECT_EQ(itemsOf(popup), built) << "fault " << nth << ": the popup after the close";
    if (robust::deepRun()) {
        testing_support::trackMenu(window, popup, {[&] { expectItemsWholeOrUntouched(popup, built, nth); }});
        EXPECT_EQ(itemsOf(popup), built) << "fault " << nth << ": the popup after a real menu loop";
    }
    api.setLookMode(1);
    openPaintAndClose(window, popup, surface, [] {});
    api.setLookMode(0);
    const int colourChanges = robust::menuHostColourChanges();
    SendMessageA(window, WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(robust::menuHostColourChanges(), colourChanges + 1) << "fault " << nth << ": the host's colour change";
    api.unInstall(window);
    api.unLoadToolbars();
    const faults::SweepRun run = injected.result(kind);
    injected.disarm();
    EXPECT_EQ(itemsOf(popup), built) << "fault " << nth << ": the popup after the uninstall";
    EXPECT_EQ(itemsOf(sub), builtSub) << "fault " << nth << ": the submenu after the uninstall";
    EXPECT_EQ(faults::lookOf(window), windowLook) << "fault " << nth << ": the window after the uninstall";

    // The failure is over: the same library instance works as new.
    EXPECT_TRUE(cleanPaint(api) == reference) << "fault " << nth << ": painting after the fault";
    EXPECT_EQ(robust::liveGdiObjects(), processObjects) << "fault " << nth << ": GDI objects of the process";
    dll.unload();
    injected.libraryUnloaded();
    blocksLeft = injected.allocations.liveBlocks();
    if (nth) {
        EXPECT_EQ(blocksLeft, runtimeBlocks) << "fault " << nth << ": blocks left after unloading: "
                                             << injected.allocations.liveSizes();
    }
    EXPECT_EQ(injected.objects.liveObjects(), 0u) << "fault " << nth << ": GDI objects left after unloading";
    EXPECT_EQ(itemsOf(popup), built) << "fault " << nth << ": the popup after unloading";
    return run;
}

void MenuFaults::sweepScenario(faults::Fault kind)
{
    std::vector<COLORREF> reference;
    {
        LoadedLibrary dll("Nellolib.dll");
        robust::NelloApi api(dll);
        ASSERT_TRUE(api.complete());
        reference = cleanPaint(api);
        ASSERT_FALSE(reference.empty());
        ASSERT_EQ(itemsOf(popup), built);
    }
    faults::sweepScenario("menus", kind, 60, 7, runtimeBlocks, [&](long nth, std::size_t& blocksLeft) {
        return runWithFault(kind, nth, reference, blocksLeft);
    });
}

TEST_F(MenuFaults, EveryAllocationFailureLeavesItemsWholeOrUntouchedAndGivesThemBack)
{
    sweepScenario(faults::Fault::Allocation);
}

TEST_F(MenuFaults, EveryFailedGdiCreationLeavesItemsWholeOrUntouchedAndGivesThemBack)
{
    sweepScenario(faults::Fault::GdiObject);
}

}  // namespace
