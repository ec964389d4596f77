// Paints of both UI libraries when GDI gives out: each object creation of a
// paint failed in turn, and the whole process out of GDI objects. A paint
// that cannot get its objects draws less, but leaves the host's DC with the
// pen, brush, font and bitmap it had, holds on to nothing, and the next
// paint after the shortage is exactly right again.
#include "button_dialog.h"
#include "dib_surface.h"
#include "fault_hosts.h"
#include "fault_sweep.h"
#include "host_api.h"
#include "menu_items.h"
#include "robust_support.h"
#include "tavro_fixtures.h"
#include "tavrolib.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

using robust::LoadedLibrary;
using testing_support::DibSurface;

constexpr int kButtons = 3;
constexpr RECT kPlace[kButtons] = {{10, 10, 110, 40}, {10, 50, 110, 80}, {10, 90, 110, 120}};
constexpr COLORREF kFace = RGB(200, 190, 180);

// A host DC with the host's own pen, brush and font selected, as a host that
// paints before and after the library's item has it.
class HostObjects {
public:
    explicit HostObjects(HDC dc)
        : dc_(dc), pen_(CreatePen(PS_DOT, 1, RGB(9, 8, 7))), brush_(CreateSolidBrush(RGB(7, 8, 9))),
          font_(CreateFontA(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma"))
    {
        old_ = faults::selectionOf(dc);
        SelectObject(dc, pen_);
        SelectObject(dc, brush_);
        SelectObject(dc, font_);
    }
    ~HostObjects()
    {
        SelectObject(dc_, old_.pen);
        SelectObject(dc_, old_.brush);
        SelectObject(dc_, old_.font);
        DeleteObject(pen_);
        DeleteObject(brush_);
        DeleteObject(font_);
    }
    HostObjects(const HostObjects&) = delete;
    HostObjects& operator=(const HostObjects&) = delete;

private:
    HDC dc_;
    HPEN pen_;
    HBRUSH brush_;
    HFONT font_;
    faults::Selection old_;
};

// Every GDI object this process can still create, held until released.
class GdiExhaustion {
public:
    GdiExhaustion()
    {
        while (HBRUSH brush = CreateSolidBrush(RGB(1, 1, 1)))
            held_.push_back(brush);
    }
    ~GdiExhaustion() { release(); }
    GdiExhaustion(const GdiExhaustion&) = delete;
    GdiExhaustion& operator=(const GdiExhaustion&) = delete;
    std::size_t held() const { return held_.size(); }
    void release()
    {
        for (HBRUSH brush : held_)
            DeleteObject(brush);
        held_.clear();
    }

private:
    std::vector<HBRUSH> held_;
};

// The sweep over the object creations of one paint: each run fails the nth,
// and the DC, the library's objects and the next paint are checked.
long sweepPaint(faults::GdiFaults& objects, DibSurface& surface, const std::function<std::vector<COLORREF>()>& paint,
                const char* what)
{
    const std::vector<COLORREF> reference = paint();
    long creations = 0;
    const long points = faults::sweep(
        [&](long nth) {
            const std::size_t heldBefore = objects.liveObjects();
            objects.failAt(nth);
            {
                HostObjects host(surface.dc());
                const faults::Selection before = faults::selectionOf(surface.dc());
                paint();
                EXPECT_TRUE(faults::selectionOf(surface.dc()) == before)
                    << what << ": failed creation " << nth << " (" << objects.failedFunction()
                    << ") changed the host DC's selection";
            }
            const faults::SweepRun run{objects.injected(), objects.creations()};
            const std::string failed = objects.failedFunction();
            creations = run.points;
            objects.failAt(0);
            EXPECT_EQ(objects.liveObjects(), heldBefore)
                << what << ": failed creation " << nth << " (" << failed << ") left objects behind";
            EXPECT_TRUE(paint() == reference) << what << ": the paint after failed creation " << nth << " ("
                                              << failed << ")";
            return ::testing::Test::HasFailure() ? faults::SweepRun{false, run.points} : run;
        },
        1000, 1);
    std::printf("faults: %s: %ld object creations per paint, each failed in turn\n", what, points);
    for (const auto& [function, count] : objects.creationsByFunction())
        std::printf("faults: %s:   %s %ld\n", what, function.c_str(), count);
    return creations;
}

class PaintFaults : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(fixtures, nullptr); }
    void TearDown() override { FreeLibrary(fixtures); }
    HMODULE fixtures = LoadLibraryA(TAVRO_FIXTURES_DLL);
};

// Buttons attached in every look the paint has: flat, split, icons, colours.
bool attachButtons(const robust::TavroApi& api, HWND dialog, HMODULE icons)
{
    bool ok = api.install(dialog);
    for (int i = 0; i < kButtons; ++i) {
        ok = api.setGlisk(dialog, 10 + i, true) && ok;
        ok = api.setMode(dialog, 10 + i, i == 1 ? TavroSplitDown : TavroToggle) && ok;
        ok = api.setFaceColor(dialog, 10 + i, kFace) && ok;
    }
    ok = api.loadIcons(dialog, 12, icons, FIXTURE_ICON_COLOURS, FIXTURE_ICON_PLAIN) && ok;
    return api.setTextColor(dialog, 10, RGB(0, 128, 0), RGB(128, 0, 0)) && ok;
}

void addButtons(button_testing::ButtonDialog& host)
{
    for (int i = 0; i < kButtons; ++i)
        host.addButton(10 + i, i == 0 ? BS_PUSHBUTTON | BS_FLAT : BS_PUSHBUTTON, "Paint", kPlace[i]);
}

// A popup with every kind of item the library draws, and its caption.
HMENU buildPopup(const robust::NelloApi& api)
{
    HMENU popup = CreatePopupMenu();
    testing_support::appendItem(popup, 100, "&Command\tCtrl+C");
    testing_support::appendItem(popup, 0, "", MFT_SEPARATOR);
    testing_support::appendItem(popup, 101, "Selected", MFT_STRING, MFS_CHECKED);
    testing_support::appendItem(popup, 7, "Icon", MFT_STRING, MFS_DEFAULT);
    testing_support::appendItem(popup, 8, "Greyed", MFT_STRING, MFS_GRAYED);
    testing_support::appendItem(popup, 9, "Checked", MFT_RADIOCHECK, MFS_CHECKED);
    api.setCaption(popup, "Paint");
    return popup;
}

bool registerImages(const robust::NelloApi& api, HMODULE fixtures)
{
    return api.loadToolbar(fixtures, FIXTURE_TOOLBAR_4BIT) && api.addIconResource(fixtures, FIXTURE_ICON_COLOURS, 7);
}

TEST_F(PaintFaults, EachFailedCreationOfAButtonPaintKeepsTheHostDcAndHoldsNothing)
{
    LoadedLibrary dll("Tavrolib.dll");
    robust::TavroApi api(dll);
    ASSERT_TRUE(api.complete());
    button_testing::ButtonDialog host(300, 200);
    addButtons(host);
    ASSERT_TRUE(attachButtons(api, host.hwnd(), fixtures));
    DibSurface surface(100, 30);
    faults::GdiFaults objects(dll.module());
    ASSERT_FALSE(objects.patched().empty());
    const long creations =
        sweepPaint(objects, surface, [&] { return faults::paintButtons(host.hwnd(), surface, kButtons); }, "buttons");
    EXPECT_GT(creations, 0) << "a paint creates objects";
    EXPECT_TRUE(api.unInstall(host.hwnd()));
}

TEST_F(PaintFaults, EachFailedCreationOfAMenuPaintKeepsTheHostDcAndHoldsNothing)
{
    LoadedLibrary dll("Nellolib.dll");
    robust::NelloApi api(dll);
    ASSERT_TRUE(api.complete());
    HWND window = testing_support::createTopLevelWindow("paint faults", faults::menuHostProc, WS_POPUP);
    HMENU popup = buildPopup(api);
    ASSERT_TRUE(registerImages(api, fixtures));
    ASSERT_TRUE(api.install(window));
    const auto built = testing_support::itemsOf(popup);
    DibSurface surface(160, 24);
    faults::GdiFaults objects(dll.module());
    for (int look : {0, 1}) {
        api.setLookMode(look);
        const long creations = sweepPaint(
            objects, surface,
            [&] {
                const auto pixels = faults::openPaintAndClose(window, popup, surface, [] {});
                EXPECT_EQ(testing_support::itemsOf(popup), built) << "the popup after the close";
                return pixels;
            },
            look ? "greyscale menus" : "menus");
        EXPECT_GT(creations, 0) << "a paint creates objects";
    }
    api.setLookMode(0);
    EXPECT_TRUE(api.unInstall(window));
    api.unLoadToolbars();
    DestroyMenu(popup);
    DestroyWindow(window);
}

TEST_F(PaintFaults, PaintsWithTheProcessOutOfGdiObjectsFailSoftAndRecover)
{
    LoadedLibrary buttonsDll("Tavrolib.dll");
    robust::TavroApi buttons(buttonsDll);
    LoadedLibrary menusDll("Nellolib.dll");
    robust::NelloApi menus(menusDll);
    ASSERT_TRUE(buttons.complete() && menus.complete());
    button_testing::ButtonDialog host(300, 200);
    addButtons(host);
    ASSERT_TRUE(attachButtons(buttons, host.hwnd(), fixtures));
    HWND window = testing_support::createTopLevelWindow("exhaustion", faults::menuHostProc, WS_POPUP);
    HMENU popup = buildPopup(menus);
    ASSERT_TRUE(registerImages(menus, fixtures));
    ASSERT_TRUE(menus.install(window));
    const auto built = testing_support::itemsOf(popup);
    DibSurface buttonSurface(100, 30);
    DibSurface menuSurface(160, 24);
    const auto paintEverything = [&] {
        auto pixels = faults::paintButtons(host.hwnd(), buttonSurface, kButtons);
        for (int look : {1, 0}) {
            menus.setLookMode(look);
            const auto items = faults::openPaintAndClose(window, popup, menuSurface, [] {});
            pixels.insert(pixels.end(), items.begin(), items.end());
        }
        return pixels;
    };
    const std::vector<COLORREF> reference = paintEverything();
    const int liveBefore = robust::liveGdiObjects();

    GdiExhaustion exhaustion;
    ASSERT_GT(exhaustion.held(), 1000u) << "objects could be created until none could";
    {
        HostObjects buttonHost(buttonSurface.dc());
        HostObjects menuHost(menuSurface.dc());
        const faults::Selection buttonDc = faults::selectionOf(buttonSurface.dc());
        const faults::Selection menuDc = faults::selectionOf(menuSurface.dc());
        const DWORD start = GetTickCount();
        for (int round = 0; round < 3; ++round)
            paintEverything();
        std::printf("faults: exhausted after %zu more objects; three rounds of every paint in %lu ms\n",
                    exhaustion.held(), GetTickCount() - start);
        EXPECT_TRUE(faults::selectionOf(buttonSurface.dc()) == buttonDc) << "the button host's DC";
        EXPECT_TRUE(faults::selectionOf(menuSurface.dc()) == menuDc) << "the menu host's DC";
        EXPECT_EQ(testing_support::itemsOf(popup), built) << "the popup after closes without objects";
    }
    exhaustion.release();
    EXPECT_EQ(robust::liveGdiObjects(), liveBefore) << "objects held after the shortage: "
                                                    << robust::liveGdiObjectKinds();
    EXPECT_TRUE(paintEverything() == reference) << "the first paint after the shortage";
    EXPECT_TRUE(buttons.unInstall(host.hwnd()));
    EXPECT_TRUE(menus.unInstall(window));
    menus.unLoadToolbars();
    DestroyMenu(popup);
    DestroyWindow(window);
}

}  // namespace
