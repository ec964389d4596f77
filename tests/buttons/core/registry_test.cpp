// Installing, attaching, detaching and uninstalling against real dialogs and
// real controls.
#include "core_fixture.h"
#include "guarded_heap.h"

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kId = 101;

COLORREF pixelOnScreen(HWND window, int x, int y)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(window);
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return pixel;
}

struct TypeCase {
    DWORD type;
    bool attaches;
    DWORD typeAfter;
};

// Every type that attaches becomes exactly owner-drawn: 0xF, what an OR
// with 0xB would leave for 0x5, 0x7, 0xD and 0xF, is drawn by nobody.
const TypeCase kTypeCases[] = {
    {0x0, true, 0xB},  {0x1, true, 0xB},  {0x2, false, 0x2}, {0x3, true, 0xB},
    {0x4, false, 0x4}, {0x5, true, 0xB},  {0x6, false, 0x6}, {0x7, true, 0xB},
    {0x8, false, 0x8}, {0x9, true, 0xB},  {0xA, false, 0xA}, {0xB, true, 0xB},
    {0xC, false, 0xC}, {0xD, true, 0xB},  {0xE, false, 0xE}, {0xF, true, 0xB},
};

}  // namespace

TEST_F(CoreTest, AttachAcceptsPushButtonTypesAndMakesThemOwnerDrawn)
{
    ASSERT_TRUE(Tavro_Install(dialog.hwnd()));
    for (const TypeCase& c : kTypeCases) {
        SCOPED_TRACE("button type " + std::to_string(c.type));
        const int id = kId + static_cast<int>(c.type);
        HWND button = dialog.addButton(id, c.type);
        const DWORD before = styleOf(button);
        const LONG_PTR ownProc = procOf(button);

        EXPECT_EQ(Tavro_SetGlisk(dialog.hwnd(), id, true), c.attaches);
        EXPECT_EQ(styleOf(button) & 0xF, c.typeAfter);
        EXPECT_EQ(styleOf(button) & ~DWORD(0xF), before & ~DWORD(0xF));
        EXPECT_EQ(procOf(button) == ownProc, !c.attaches);

        const HookedButton* record = findButton(dialog.hwnd(), id);
        ASSERT_EQ(record != nullptr, c.attaches);
        if (record) {
            // Painted by the library: its face colour fills the inside.
            const COLORREF face = RGB(10, 200, 30);
            ASSERT_TRUE(Tavro_SetFaceColor(dialog.hwnd(), id, face));
            EXPECT_EQ(pixelOnScreen(button, 4, 4), face) << "drawn by the library";
            EXPECT_EQ(record->style, before) << "the record keeps the style from before attach";
            EXPECT_EQ(record->subclass.previous(), reinterpret_cast<WNDPROC>(ownProc));
            EXPECT_TRUE(Tavro_SetGlisk(dialog.hwnd(), id, false));
            EXPECT_EQ(styleOf(button), before);
            EXPECT_EQ(procOf(button), ownProc);
        }
    }
}

TEST(ButtonClassName, IsComparedWithoutRegardToCase)
{
    const std::pair<const char*, bool> cases[] = {
        {"Button", true}, {"BUTTON", true}, {"button", true}, {"bUtToN", true},
        {"Buttons", false}, {"Butto", false}, {"Edit", false}, {"", false},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(isButtonClassName(name), expected) << name;
}

TEST_F(CoreTest, AttachRefusesOtherClassesEvenWithBitZeroSet)
{
    ASSERT_TRUE(Tavro_Install(dialog.hwnd()));
    const std::pair<const char*, DWORD> controls[] = {{"Edit", ES_CENTER}, {"Static", SS_CENTER}};
    int id = kId;
    for (const auto& [cls, style] : controls) {
        SCOPED_TRACE(cls);
        HWND control = dialog.addControl(++id, cls, style);
        ASSERT_TRUE(control);
        const LONG_PTR ownProc = procOf(control);
        const DWORD before = styleOf(control);
        EXPECT_FALSE(Tavro_SetGlisk(dialog.hwnd(), id, true));
        EXPECT_EQ(procOf(control), ownProc);
        EXPECT_EQ(styleOf(control), before);
        EXPECT_EQ(findButton(dialog.hwnd(), id), nullptr);
    }
}

TEST_F(CoreTest, SecondInstallAndSecondAttachAreRefused)
{
    dialog.addButton(kId);
    ASSERT_TRUE(Tavro_Install(dialog.hwnd()));
    const LONG_PTR installed = procOf(dialog.hwnd());
    EXPECT_FALSE(Tavro_Install(dialog.hwnd()));
    EXPECT_EQ(procOf(dialog.hwnd()), installed);
    EXPECT_EQ(g_dialogs.size(), 1);

    ASSERT_TRUE(Tavro_SetGlisk(dialog.hwnd(), kId, true));
    EXPECT_FALSE(Tavro_SetGlisk(dialog.hwnd(), kId, true));
    EXPECT_EQ(findDialog(dialog.hwnd())->buttons.size(), 1);
}

TEST_F(CoreTest, InstallOfAnInvalidWindowRegistersNothing)
{
    EXPECT_FALSE(Tavro_Install(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFF0001))));
    EXPECT_FALSE(Tavro_Install(nullptr));
    EXPECT_EQ(g_dialogs.size(), 0);
}

TEST_F(CoreTest, AttachOfAMissingControlFails)
{
    ASSERT_TRUE(Tavro_Install(dialog.hwnd()));
    EXPECT_FALSE(Tavro_SetGlisk(dialog.hwnd(), 999, true));
    EXPECT_EQ(findDialog(dialog.hwnd())->buttons.size(), 0);
}

// Every export that names a button, as a call that reports its result.
struct ButtonExport {
    const char* name;
    std::function<bool(HWND, unsigned int)> call;
};

const ButtonExport kButtonExports[] = {
    {"SetGlisk(false)", [](HWND d, unsigned int id) { return Tavro_SetGlisk(d, id, false); }},
    {"SetMode", [](HWND d, unsigned int id) { return Tavro_SetMode(d, id, TavroToggle); }},
    {"LoadIcons", [](HWND d, unsigned int id) { return Tavro_LoadIcons(d, id, GetModuleHandleA(nullptr), 1, 0); }},
    {"SetTextColor", [](HWND d, unsigned int id) { return Tavro_SetTextColor(d, id, RGB(1, 2, 3), RGB(4, 5, 6)); }},
    {"SetFaceColor", [](HWND d, unsigned int id) { return Tavro_SetFaceColor(d, id, RGB(1, 2, 3)); }},
    {"SetSysColors", [](HWND d, unsigned int id) { return Tavro_SetSysColors(d, id); }},
    {"GetOptimalSize",
     [](HWND d, unsigned int id) {
         SIZE size{-7, -9};
         const bool result = Tavro_GetOptimalSize(d, id, size);
         if (!result && (size.cx != -7 || size.cy != -9))
             ADD_FAILURE() << "a failed GetOptimalSize wrote the size";
         return result;
     }},
};

TEST_F(CoreTest, ButtonExportsFailWithoutInstalledDialogOrAttachedButton)
{
    dialog.addButton(kId);
    for (const ButtonExport& e : kButtonExports) {
        SCOPED_TRACE(e.name);
        EXPECT_FALSE(e.call(dialog.hwnd(), kId)) << "no dialog installed";
    }
    EXPECT_FALSE(Tavro_UnInstall(dialog.hwnd()));
    EXPECT_FALSE(Tavro_SetGlisk(dialog.hwnd(), kId, true));

    ASSERT_TRUE(Tavro_Install(dialog.hwnd()));
    for (const ButtonExport& e : kButtonExports) {
        SCOPED_TRACE(e.name);
        EXPECT_FALSE(e.call(dialog.hwnd(), kId)) << "button not attached";
    }
    ASSERT_TRUE(Tavro_SetGlisk(dialog.hwnd(), kId, true));
    EXPECT_FALSE(Tavro_SetMode(dialog.hwnd(), kId + 1, TavroToggle)) << "another identifier";
}

TEST_F(CoreTest, UninstallRestoresProceduresStylesAndAllowsReinstall)
{
    HWND plain = dialog.addButton(kId, BS_PUSHBUTTON, "A", {10, 10, 110, 40});
    HWND transparent = dialog.addButton(kId + 1, BS_AUTOCHECKBOX | BS_FLAT, "B", {10, 50, 110, 80}, WS_EX_TRANSPARENT);
    const LONG_PTR dialogProc = procOf(dialog.hwnd());
    const LONG_PTR plainProc = procOf(plain), transparentProc = procOf(transparent);
    const DWORD plainStyle = styleOf(plain), transparentStyle = styleOf(transparent);

    attached(plain);
    HookedButton& record = attached(transparent);
    RedrawWindow(transparent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_NE(record.background, nullptr) << "the erase captured the parent's pixels";
    EXPECT_NE(procOf(dialog.hwnd()), dialogProc);

    ASSERT_TRUE(Tavro_UnInstall(dialog.hwnd()));
    EXPECT_EQ(procOf(dialog.hwnd()), dialogProc);
    EXPECT_EQ(procOf(plain), plainProc);
    EXPECT_EQ(procOf(transparent), transparentProc);
    EXPECT_EQ(styleOf(plain), plainStyle);
    EXPECT_EQ(styleOf(transparent), transparentStyle);
    EXPECT_EQ(g_dialogs.size(), 0);
    EXPECT_FALSE(Tavro_SetMode(dialog.hwnd(), kId, TavroToggle));

    EXPECT_TRUE(Tavro_Install(dialog.hwnd()));
    EXPECT_TRUE(Tavro_SetGlisk(dialog.hwnd(), kId, true));
}

TEST_F(CoreTest, UninstallKeepsTheOrderOfTheOtherDialogs)
{
    button_testing::ButtonDialog second, third;
    ASSERT_TRUE(Tavro_Install(dialog.hwnd()));
    ASSERT_TRUE(Tavro_Install(second.hwnd()));
    ASSERT_TRUE(Tavro_Install(third.hwnd()));
    ASSERT_TRUE(Tavro_UnInstall(second.hwnd()));
    ASSERT_EQ(g_dialogs.size(), 2);
    EXPECT_EQ(g_dialogs.get<HookedDialog>(0)->hwnd, dialog.hwnd());
    EXPECT_EQ(g_dialogs.get<HookedDialog>(1)->hwnd, third.hwnd());
}

TEST_F(CoreTest, DetachAfterAStyleChangeRestoresTheTypeAndKeepsTheNewBits)
{
    const std::pair<DWORD, DWORD> cases[] = {{BS_PUSHBUTTON, BS_FLAT}, {BS_AUTOCHECKBOX, BS_LEFT | BS_MULTILINE},
                                             {BS_3STATE, BS_FLAT}};
    int id = kId;
    ASSERT_TRUE(Tavro_Install(dialog.hwnd()));
    for (const auto& [type, added] : cases) {
        SCOPED_TRACE("type " + std::to_string(type));
        HWND button = dialog.addButton(++id, type);
        HookedButton& record = attached(button);
        SetWindowLongA(button, GWL_STYLE, static_cast<LONG>(styleOf(button) | added));
        EXPECT_EQ(record.style & added, added) << "the style change reached the record";
        EXPECT_NE(record.style & 0xF, type) << "the record's style now carries the owner-draw type";

        ASSERT_TRUE(Tavro_SetGlisk(dialog.hwnd(), id, false));
        EXPECT_EQ(styleOf(button) & 0xF, type);
        EXPECT_NE(styleOf(button) & 0xF, DWORD(BS_OWNERDRAW));
        EXPECT_EQ(styleOf(button) & added, added);
    }
}

TEST_F(CoreTest, SetModeStoresAnyValueAndReleasesTheButton)
{
    HWND button = dialog.addButton(kId);
    HookedButton& record = attached(button);
    record.pushState = 1;
    ASSERT_TRUE(Tavro_SetMode(dialog.hwnd(), kId, 7));
    EXPECT_EQ(record.mode, 7);
    EXPECT_EQ(record.pushState, 0);
    SendMessageA(button, BM_SETCHECK, BST_CHECKED, 0);
    button_testing::click(button, 5, 5);
    EXPECT_EQ(record.pushState, 0) << "an unknown mode behaves as a push button";
    EXPECT_EQ(dialog.clicks(), 1);
    EXPECT_EQ(dialog.notifications(TAVRO_PRESS_NOTIFICATION), 0);
}

TEST_F(CoreTest, AttachStartsFromTheSystemPaletteAndAReleasedState)
{
    HWND button = dialog.addButton(kId);
    HookedButton& b = attached(button);
    EXPECT_EQ(b.hwnd, button);
    EXPECT_EQ(b.controlId, unsigned(kId));
    EXPECT_EQ(b.faceColor, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(b.textColor, GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(b.hotTextColor, GetSysColor(COLOR_HOTLIGHT));
    EXPECT_EQ(b.lightColor, GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(b.shadowColor, GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(b.highlightColor, GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(b.darkShadowColor, GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_TRUE(b.textColorsFromSystem);
    EXPECT_TRUE(b.faceColorsFromSystem);
    EXPECT_EQ(b.imageList, nullptr);
    EXPECT_EQ(b.pushState, 0);
    EXPECT_EQ(b.mode, 0);
    EXPECT_FALSE(b.hot);
    EXPECT_EQ(b.background, nullptr);
}

TEST_F(CoreTest, RecordsThatCannotBeAllocatedLeaveEverythingAsItWas)
{
    HWND button = dialog.addButton(kId);
    const LONG_PTR dialogProc = procOf(dialog.hwnd()), buttonProc = procOf(button);
    const DWORD buttonStyle = styleOf(button);

    guarded_heap::failAllocations(true);
    const bool installed = Tavro_Install(dialog.hwnd());
    guarded_heap::failAllocations(false);
    EXPECT_FALSE(installed);
    EXPECT_EQ(procOf(dialog.hwnd()), dialogProc);
    EXPECT_EQ(g_dialogs.size(), 0);

    ASSERT_TRUE(Tavro_Install(dialog.hwnd()));
    guarded_heap::failAllocations(true);
    const bool attachedNow = Tavro_SetGlisk(dialog.hwnd(), kId, true);
    guarded_heap::failAllocations(false);
    EXPECT_FALSE(attachedNow);
    EXPECT_EQ(procOf(button), buttonProc);
    EXPECT_EQ(styleOf(button), buttonStyle);
    EXPECT_EQ(findDialog(dialog.hwnd())->buttons.size(), 0);
}

// Destroyed without uninstall or detach: the library forgets the window with
// its records and objects. Freed records become inaccessible, so a later
// touch of one crashes the test.
TEST_F(CoreTest, DestroyedDialogsAndButtonsAreForgotten)
{
    for (const bool wholeDialog : {true, false}) {
        SCOPED_TRACE(wholeDialog ? "dialog destroyed" : "button destroyed");
        button_testing::ButtonDialog host;
        HWND gone = host.addButton(kId, BS_PUSHBUTTON, "A", {10, 10, 110, 40}, WS_EX_TRANSPARENT);
        host.addButton(kId + 1, BS_PUSHBUTTON, "B", {10, 50, 110, 80});
        guarded_heap::arm();
        const bool installed = Tavro_Install(host.hwnd());
        const bool attachedBoth = Tavro_SetGlisk(host.hwnd(), kId, true) && Tavro_SetGlisk(host.hwnd(), kId + 1, true);
        guarded_heap::disarm();
        ASSERT_TRUE(installed && attachedBoth);
        SendMessageA(gone, WM_ERASEBKGND, 0, 0);
        const HBITMAP background = findButton(host.hwnd(), kId)->background;
        ASSERT_NE(GetObjectType(background), 0u);

        DestroyWindow(wholeDialog ? host.hwnd() : gone);
        EXPECT_EQ(GetObjectType(background), 0u) << "the captured background is freed";
        for (const ButtonExport& e : kButtonExports) {
            EXPECT_FALSE(e.call(host.hwnd(), kId)) << e.name;
        }
        if (wholeDialog) {
            EXPECT_EQ(g_dialogs.size(), 0);
            EXPECT_FALSE(Tavro_UnInstall(host.hwnd()));
            EXPECT_FALSE(Tavro_SetMode(host.hwnd(), kId + 1, TavroToggle));
            continue;
        }
        EXPECT_TRUE(Tavro_SetMode(host.hwnd(), kId + 1, TavroToggle)) << "its sibling stays attached";
        HWND again = host.addButton(kId, BS_PUSHBUTTON, "C", {10, 10, 110, 40});
        EXPECT_TRUE(Tavro_SetGlisk(host.hwnd(), kId, true)) << "a new button with the same identifier";
        ASSERT_NE(findButton(host.hwnd(), kId), nullptr);
        EXPECT_EQ(findButton(host.hwnd(), kId)->hwnd, again);
        EXPECT_TRUE(Tavro_UnInstall(host.hwnd()));
    }
}

namespace {

// The host's own subclass of a button, below the library's: restoring the
// button's type reaches it as a style change, and it calls back in there.
std::function<void()> g_onStyleChanged;
WNDPROC g_buttonOwnProc = nullptr;

LRESULT CALLBACK hostButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_STYLECHANGED && g_onStyleChanged)
        g_onStyleChanged();
    return CallWindowProcA(g_buttonOwnProc, window, message, wParam, lParam);
}

}  // namespace

// Host code reached while buttons are given back finds only live records:
// every record leaves the registry before it is restored and freed.
TEST_F(CoreTest, TeardownTakesRecordsOutBeforeRestoringAndFreeingThem)
{
    const struct {
        const char* name;
        std::function<void(HWND)> run;
        std::vector<bool> attachedSeen;  // first and second button, as the host sees them
    } teardowns[] = {
        {"uninstall", [](HWND d) { EXPECT_TRUE(Tavro_UnInstall(d)); }, {false, false}},
        {"unload", [](HWND) { libraryUnload(); }, {false, false}},
        {"detach the second", [](HWND d) { EXPECT_TRUE(Tavro_SetGlisk(d, kId + 1, false)); }, {true, false}},
    };
    for (const auto& t : teardowns) {
        SCOPED_TRACE(t.name);
        libraryLoad();
        button_testing::ButtonDialog host;
        host.addButton(kId, BS_PUSHBUTTON, "A", {10, 10, 110, 40});
        HWND second = host.addButton(kId + 1, BS_PUSHBUTTON, "B", {10, 50, 110, 80});
        g_buttonOwnProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(second, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hostButtonProc)));
        guarded_heap::arm();
        const bool installed = Tavro_Install(host.hwnd());
        const bool attachedBoth = Tavro_SetGlisk(host.hwnd(), kId, true) && Tavro_SetGlisk(host.hwnd(), kId + 1, true);
        guarded_heap::disarm();
        ASSERT_TRUE(installed && attachedBoth);

        std::vector<bool> seen;
        g_onStyleChanged = [&] {
            SIZE size;
            seen = {Tavro_GetOptimalSize(host.hwnd(), kId, size), Tavro_GetOptimalSize(host.hwnd(), kId + 1, size)};
        };
        t.run(host.hwnd());
        g_onStyleChanged = nullptr;
        EXPECT_EQ(seen, t.attachedSeen);
        EXPECT_EQ(GetWindowLongPtrA(second, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(hostButtonProc));
        SetWindowLongPtrA(second, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_buttonOwnProc));
        libraryUnload();
    }
}
