// The push-button library with an allocation failing at each point of its
// main scenario in turn: install, attach, modes, colours, icons, optimal
// size, paints, presses and uninstall. Whatever failed, the host's dialog
// and buttons are each either taken over whole or untouched, nothing leaks,
// and once allocations succeed again the library paints exactly as before.
#include "button_dialog.h"
#include "dib_surface.h"
#include "fault_hosts.h"
#include "fault_sweep.h"
#include "host_api.h"
#include "tavro_fixtures.h"
#include "tavrolib.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

using button_testing::ButtonDialog;
using robust::LoadedLibrary;
using testing_support::DibSurface;

constexpr int kButtons = 3;
constexpr RECT kPlace[kButtons] = {{10, 10, 110, 40}, {10, 50, 110, 80}, {10, 90, 110, 120}};
constexpr COLORREF kFace = RGB(200, 190, 180);
using faults::kBackground;

HWND buttonOf(HWND dialog, int i) { return GetDlgItem(dialog, 10 + i); }

// The whole scenario a dialog goes through; the results are not asserted
// here, since with a fault armed any step may refuse.
void useEverything(const robust::TavroApi& api, HWND dialog, HMODULE icons, DibSurface& surface)
{
    api.install(dialog);
    for (int i = 0; i < kButtons; ++i) {
        const unsigned id = 10 + i;
        api.setGlisk(dialog, id, true);
        api.setMode(dialog, id, i == 1 ? TavroSplitDown : TavroToggle);
        api.setFaceColor(dialog, id, kFace);
    }
    api.loadIcons(dialog, 12, icons, FIXTURE_ICON_COLOURS, FIXTURE_ICON_PLAIN);
    api.setTextColor(dialog, 10, RGB(0, 128, 0), RGB(128, 0, 0));
    api.setSysColors(dialog, 11);
    api.setFaceColor(dialog, 11, kFace);
    SIZE size;
    api.getOptimalSize(dialog, 12, size);
    faults::paintButtons(dialog, surface, kButtons);
    // Real paints and real presses, through the windows' own procedures.
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    button_testing::click(buttonOf(dialog, 1), 95, 5);
    button_testing::click(buttonOf(dialog, 0), 5, 5);
    SendMessageW(buttonOf(dialog, 2), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(dialog, WM_SYSCOLORCHANGE, 0, 0);
    testing_support::pumpMessages(0);
}

class ButtonFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(fixtures, nullptr);
        for (int i = 0; i < kButtons; ++i)
            host.addButton(10 + i, i == 0 ? BS_PUSHBUTTON | BS_FLAT : BS_PUSHBUTTON, "Fault", kPlace[i]);
        hostLooks = looks();
    }
    void TearDown() override { FreeLibrary(fixtures); }

    std::vector<faults::WindowLook> looks() const
    {
        std::vector<faults::WindowLook> all{faults::lookOf(host.hwnd())};
        for (int i = 0; i < kButtons; ++i)
            all.push_back(faults::lookOf(buttonOf(host.hwnd(), i)));
        return all;
    }

    // Each button is either attached (owner-drawn) or exactly as the host
    // made it.
    void expectWholeOrUntouched(const char* when, long nth) const
    {
        const auto now = looks();
        for (int i = 0; i < kButtons; ++i) {
            const auto& look = now[i + 1];
            const bool attached = (look.style & 0xF) == BS_OWNERDRAW;
            if (!attached) {
                EXPECT_EQ(look, hostLooks[i + 1]) << when << ", fault " << nth << ": button " << i
                                                  << " half attached: " << faults::describe(look);
            }
        }
    }

    // The scenario without faults, asserted, and the pixels it paints.
    std::vector<COLORREF> cleanPaint(const robust::TavroApi& api)
    {
        bool ok = api.install(host.hwnd());
        for (int i = 0; i < kButtons; ++i) {
            ok = api.setGlisk(host.hwnd(), 10 + i, true) && ok;
            ok = api.setMode(host.hwnd(), 10 + i, i == 1 ? TavroSplitDown : TavroToggle) && ok;
            ok = api.setFaceColor(host.hwnd(), 10 + i, kFace) && ok;
        }
        ok = api.loadIcons(host.hwnd(), 12, fixtures, FIXTURE_ICON_COLOURS, FIXTURE_ICON_PLAIN) && ok;
        ok = api.setTextColor(host.hwnd(), 10, RGB(0, 128, 0), RGB(128, 0, 0)) && ok;
        EXPECT_TRUE(ok) << "the scenario without faults";
        const auto pixels = faults::paintButtons(host.hwnd(), surface, kButtons);
        EXPECT_TRUE(api.unInstall(host.hwnd()));
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
    ButtonDialog host{300, 200};
    DibSurface surface{100, 30};
    std::vector<faults::WindowLook> hostLooks;
};

// One run of the scenario with the nth fault of a kind armed, then the
// checks that hold whatever failed.
faults::SweepRun ButtonFaults::runWithFault(faults::Fault kind, long nth, const std::vector<COLORREF>& reference,
                                           std::size_t& blocksLeft)
{
    LoadedLibrary dll("Tavrolib.dll");
    robust::TavroApi api(dll);
    faults::LibraryFaults injected(dll.module());
    EXPECT_TRUE(injected.allocations.applied());
    // One refused attach and one whole clean run first, so that what the
    // runtime makes once (its per-thread exception state, its once-only
    // initialisations, which do not survive a failed allocation) exists
    // before faults are injected and blocks counted.
    EXPECT_TRUE(api.install(host.hwnd()));
    injected.failAt(faults::Fault::Allocation, 1);
    EXPECT_FALSE(api.setGlisk(host.hwnd(), 10, true));
    injected.disarm();
    EXPECT_TRUE(api.unInstall(host.hwnd()));
    cleanPaint(api);
    injected.allocations.forgetLive();
    injected.failAt(kind, nth);
    useEverything(api, host.hwnd(), fixtures, surface);
    expectWholeOrUntouched("while installed", nth);
    api.unInstall(host.hwnd());
    const faults::SweepRun run = injected.result(kind);
    injected.disarm();
    EXPECT_EQ(looks(), hostLooks) << "fault " << nth << ": the host's windows after the uninstall";

    // The failure is over: the same library instance works as new.
    EXPECT_TRUE(cleanPaint(api) == reference) << "fault " << nth << ": painting after the fault";
    dll.unload();
    injected.libraryUnloaded();
    blocksLeft = injected.allocations.liveBlocks();
    if (nth) {
        EXPECT_EQ(blocksLeft, runtimeBlocks) << "fault " << nth << ": blocks left after unloading: "
                                             << injected.allocations.liveSizes();
    }
    EXPECT_EQ(injected.objects.liveObjects(), 0u) << "fault " << nth << ": GDI objects left after unloading";
    EXPECT_EQ(looks(), hostLooks) << "fault " << nth << ": the host's windows after unloading";
    return run;
}

void ButtonFaults::sweepScenario(faults::Fault kind)
{
    std::vector<COLORREF> reference;
    {
        LoadedLibrary dll("Tavrolib.dll");
        robust::TavroApi api(dll);
        ASSERT_TRUE(api.complete());
        reference = cleanPaint(api);
        ASSERT_EQ(reference[5 * 100 + 50], kFace) << "the reference paint shows the face colour";
    }
    faults::sweepScenario("buttons", kind, 40, 7, runtimeBlocks, [&](long nth, std::size_t& blocksLeft) {
        return runWithFault(kind, nth, reference, blocksLeft);
    });
}

TEST_F(ButtonFaults, EveryAllocationFailureLeavesButtonsWholeOrUntouchedAndNothingHeld)
{
    sweepScenario(faults::Fault::Allocation);
}

TEST_F(ButtonFaults, EveryFailedGdiCreationLeavesButtonsWholeOrUntouchedAndNothingHeld)
{
    sweepScenario(faults::Fault::GdiObject);
}

}  // namespace
