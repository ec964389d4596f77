// The buttons' state machine and the dialog's routing, driven by the
// messages a real button receives.
#include "core_fixture.h"
#include "guarded_heap.h"

#include <functional>
#include <string>
#include <vector>

using button_testing::centreOf;
using button_testing::click;

namespace {

constexpr int kId = 201;
constexpr int kWidth = 100;  // the fixture's buttons are 100 x 30

enum class Action {
    Press,                // down and up at the centre
    PressReleaseOutside,  // down at the centre, up outside the button
    PressColumn17,        // in the 17th column from the right edge
    PressColumn18,        // in the 18th column from the right edge
    DoubleClick,          // down, up, double-click, up
    SpaceUp,
    SpaceUpDisabled,
    CheckUnchecked,
    CheckChecked,
    CheckIndeterminate,
    CheckFive,
};

void perform(HWND button, Action action)
{
    const POINT c = centreOf(button);
    switch (action) {
    case Action::Press:
        click(button, c.x, c.y);
        break;
    case Action::PressReleaseOutside:
        SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(kWidth + 40, c.y));
        break;
    case Action::PressColumn17:
        click(button, kWidth - 17, c.y);
        break;
    case Action::PressColumn18:
        click(button, kWidth - 18, c.y);
        break;
    case Action::DoubleClick:
        click(button, c.x, c.y);
        SendMessageA(button, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
        break;
    case Action::SpaceUp:
        SendMessageA(button, WM_KEYUP, VK_SPACE, 0xC0390001);
        break;
    case Action::SpaceUpDisabled:
        EnableWindow(button, FALSE);
        SendMessageA(button, WM_KEYUP, VK_SPACE, 0xC0390001);
        EnableWindow(button, TRUE);
        break;
    case Action::CheckUnchecked:
        SendMessageA(button, BM_SETCHECK, BST_UNCHECKED, 0);
        break;
    case Action::CheckChecked:
        SendMessageA(button, BM_SETCHECK, BST_CHECKED, 0);
        break;
    case Action::CheckIndeterminate:
        SendMessageA(button, BM_SETCHECK, BST_INDETERMINATE, 0);
        break;
    case Action::CheckFive:
        SendMessageA(button, BM_SETCHECK, 5, 0);
        break;
    }
}

struct StateCase {
    const char* name;
    int mode;
    std::vector<Action> actions;
    int pushState;  // also what BM_GETCHECK answers
    int notifications;
    int clicks;
};

using A = Action;
const StateCase kStateCases[] = {
    {"push press", TavroPush, {A::Press}, 0, 0, 1},
    {"push check", TavroPush, {A::CheckChecked}, 0, 0, 0},
    {"push double-click", TavroPush, {A::DoubleClick}, 0, 0, 2},
    {"push space", TavroPush, {A::SpaceUp}, 0, 0, 0},
    {"split-down column 17", TavroSplitDown, {A::PressColumn17}, 0, 1, 0},
    {"split-down column 18", TavroSplitDown, {A::PressColumn18}, 0, 0, 1},
    {"split-down centre", TavroSplitDown, {A::Press}, 0, 0, 1},
    {"split-down check", TavroSplitDown, {A::CheckChecked}, 0, 0, 0},
    {"split-right column 17", TavroSplitRight, {A::PressColumn17}, 0, 1, 0},
    {"split-right column 18", TavroSplitRight, {A::PressColumn18}, 0, 0, 1},
    {"notify press", TavroNotify, {A::Press}, 0, 1, 0},
    {"notify double-click", TavroNotify, {A::DoubleClick}, 0, 2, 0},
    {"notify check", TavroNotify, {A::CheckChecked}, 0, 0, 0},
    {"toggle press", TavroToggle, {A::Press}, 1, 0, 1},
    {"toggle two presses", TavroToggle, {A::Press, A::Press}, 0, 0, 2},
    {"toggle released outside", TavroToggle, {A::PressReleaseOutside}, 1, 0, 0},
    {"toggle double-click", TavroToggle, {A::DoubleClick}, 0, 0, 2},
    {"toggle space", TavroToggle, {A::SpaceUp}, 1, 0, 0},
    {"toggle space disabled", TavroToggle, {A::SpaceUpDisabled}, 0, 0, 0},
    {"toggle check", TavroToggle, {A::CheckChecked}, 1, 0, 0},
    {"toggle check indeterminate", TavroToggle, {A::CheckChecked, A::CheckIndeterminate}, 0, 0, 0},
    {"toggle uncheck", TavroToggle, {A::CheckChecked, A::CheckUnchecked}, 0, 0, 0},
    {"three-state press", TavroThreeState, {A::Press}, 1, 0, 1},
    {"three-state two presses", TavroThreeState, {A::Press, A::Press}, 2, 0, 2},
    {"three-state three presses", TavroThreeState, {A::Press, A::Press, A::Press}, 0, 0, 3},
    {"three-state double-click", TavroThreeState, {A::DoubleClick}, 2, 0, 2},
    {"three-state spaces", TavroThreeState, {A::SpaceUp, A::SpaceUp}, 2, 0, 0},
    {"three-state space disabled", TavroThreeState, {A::SpaceUpDisabled}, 0, 0, 0},
    {"three-state check indeterminate", TavroThreeState, {A::CheckIndeterminate}, 2, 0, 0},
    {"three-state check", TavroThreeState, {A::CheckChecked}, 1, 0, 0},
    {"three-state check five", TavroThreeState, {A::CheckIndeterminate, A::CheckFive}, 0, 0, 0},
    {"unknown mode press", 9, {A::Press, A::CheckChecked}, 0, 0, 1},
};

}  // namespace

TEST_F(CoreTest, StateMachineByMode)
{
    ASSERT_TRUE(Tavro_Install(dialog.hwnd()));
    int id = kId;
    for (const StateCase& c : kStateCases) {
        SCOPED_TRACE(c.name);
        HWND button = dialog.addButton(++id, BS_PUSHBUTTON, "Go", {10, 10, 10 + kWidth, 40});
        HookedButton& record = attached(button);
        ASSERT_TRUE(Tavro_SetMode(dialog.hwnd(), id, c.mode));
        dialog.events.clear();
        for (Action a : c.actions)
            perform(button, a);
        EXPECT_EQ(record.pushState, c.pushState);
        EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), c.pushState);
        EXPECT_EQ(dialog.notifications(TAVRO_PRESS_NOTIFICATION), c.notifications);
        EXPECT_EQ(dialog.clicks(), c.clicks);
        for (const button_testing::HostEvent& e : dialog.events) {
            if (e.message == WM_NOTIFY) {
                EXPECT_EQ(e.wParam, WPARAM(id));
                EXPECT_EQ(e.from, button);
            }
        }
        DestroyWindow(button);
    }
}

TEST_F(CoreTest, HeldStateIsVisibleToTheParentDuringTheNotification)
{
    const std::pair<int, int> cases[] = {{TavroNotify, 50}, {TavroSplitDown, kWidth - 3}, {TavroSplitRight, kWidth - 1}};
    ASSERT_TRUE(Tavro_Install(dialog.hwnd()));
    int id = kId;
    for (const auto& [mode, x] : cases) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        HWND button = dialog.addButton(++id);
        HookedButton& record = attached(button);
        ASSERT_TRUE(Tavro_SetMode(dialog.hwnd(), id, mode));
        int heldState = -1;
        LRESULT checkDuring = -1, ownCheck = -2;
        dialog.onNotify = [&](const NMHDR& header) {
            EXPECT_EQ(header.idFrom, UINT_PTR(id));
            heldState = findButtonByWindow(button)->pushState;
            checkDuring = SendMessageA(button, BM_GETCHECK, 0, 0);
            ownCheck = CallWindowProcA(record.subclass.previous(), button, BM_GETCHECK, 0, 0);
        };
        SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
        EXPECT_EQ(heldState, 4);
        EXPECT_EQ(checkDuring, ownCheck) << "held: BM_GETCHECK goes to the button's own procedure";
        EXPECT_EQ(record.pushState, 0) << "released after the notification";
        EXPECT_NE(GetCapture(), button) << "the press never reached the button's own procedure";
        dialog.onNotify = nullptr;
    }
}

// The host detaches or uninstalls inside its WM_NOTIFY handling. Freed
// records become inaccessible, so any later touch crashes the test.
TEST_F(CoreTest, HostMayDetachOrUninstallWhileHandlingTheNotification)
{
    enum class HostStep { Detach, Uninstall, DetachAndReattach };
    const std::pair<HostStep, int> cases[] = {
        {HostStep::Detach, TavroNotify},     {HostStep::Detach, TavroSplitDown},
        {HostStep::Uninstall, TavroNotify},  {HostStep::Uninstall, TavroSplitRight},
        {HostStep::DetachAndReattach, TavroNotify},
    };
    int id = kId;
    for (const auto& [step, mode] : cases) {
        SCOPED_TRACE("mode " + std::to_string(mode) + " step " + std::to_string(int(step)));
        HWND button = dialog.addButton(++id);
        const LONG_PTR ownProc = procOf(button);
        guarded_heap::arm();
        const bool installed = findDialog(dialog.hwnd()) || Tavro_Install(dialog.hwnd());
        const bool attachedNow = Tavro_SetGlisk(dialog.hwnd(), id, true);
        guarded_heap::disarm();
        ASSERT_TRUE(installed && attachedNow);
        ASSERT_TRUE(Tavro_SetMode(dialog.hwnd(), id, mode));

        dialog.onNotify = [&, step = step](const NMHDR&) {
            if (step == HostStep::Uninstall) {
                EXPECT_TRUE(Tavro_UnInstall(dialog.hwnd()));
                return;
            }
            EXPECT_TRUE(Tavro_SetGlisk(dialog.hwnd(), id, false));
            if (step == HostStep::DetachAndReattach) {
                EXPECT_TRUE(Tavro_SetGlisk(dialog.hwnd(), id, true));
            }
        };
        dialog.events.clear();
        SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kWidth - 2, 5));
        SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(kWidth - 2, 5));
        dialog.onNotify = nullptr;

        EXPECT_EQ(dialog.notifications(TAVRO_PRESS_NOTIFICATION), 1);
        const HookedButton* after = findButton(dialog.hwnd(), id);
        if (step == HostStep::DetachAndReattach) {
            ASSERT_NE(after, nullptr);
            EXPECT_EQ(after->pushState, 0);
        } else {
            EXPECT_EQ(after, nullptr);
            EXPECT_EQ(procOf(button), ownProc);
            EXPECT_NE(styleOf(button) & 0xF, DWORD(BS_OWNERDRAW));
        }
        // The button goes on working afterwards.
        SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
        RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        DestroyWindow(button);
    }
}

namespace {

std::vector<TRACKMOUSEEVENT> g_leaveRequests;

BOOL WINAPI recordLeaveRequest(LPTRACKMOUSEEVENT request)
{
    g_leaveRequests.push_back(*request);
    return TRUE;
}

void refreshStyle(HWND button)
{
    SetWindowLongA(button, GWL_STYLE, GetWindowLongA(button, GWL_STYLE) | BS_MULTILINE);
}

}  // namespace

TEST_F(CoreTest, FlatButtonsBecomeHotAtTheFirstMoveAndAskForOneLeave)
{
    setTrackMouseEventForTesting(recordLeaveRequest);
    g_leaveRequests.clear();
    HWND button = dialog.addButton(kId, BS_FLAT);
    HookedButton& b = attached(button);
    EXPECT_FALSE(b.hot);

    SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(6, 5));
    EXPECT_TRUE(b.hot);
    ASSERT_EQ(g_leaveRequests.size(), 1u) << "one leave request per transition";
    EXPECT_EQ(g_leaveRequests[0].cbSize, sizeof(TRACKMOUSEEVENT));
    EXPECT_EQ(g_leaveRequests[0].dwFlags, DWORD(TME_LEAVE));
    EXPECT_EQ(g_leaveRequests[0].hwndTrack, button);
    EXPECT_EQ(g_leaveRequests[0].dwHoverTime, DWORD(HOVER_DEFAULT));

    EXPECT_EQ(SendMessageA(button, WM_MOUSELEAVE, 0, 0), 0);
    EXPECT_FALSE(b.hot);
    SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(b.hot);
    EXPECT_EQ(g_leaveRequests.size(), 2u);

    perform(button, Action::SpaceUp);
    EXPECT_FALSE(b.hot) << "a space release leaves the hot state";
    SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(b.hot);
    refreshStyle(button);
    EXPECT_FALSE(b.hot) << "a style refresh leaves the hot state";
}

TEST_F(CoreTest, ButtonsWithoutFlatStyleNeverBecomeHot)
{
    for (TrackMouseEventFn fn : {recordLeaveRequest, TrackMouseEventFn(nullptr)}) {
        setTrackMouseEventForTesting(fn);
        g_leaveRequests.clear();
        HWND button = dialog.addButton(kId);
        HookedButton& b = attached(button);
        SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        refreshStyle(button);
        EXPECT_FALSE(b.hot);
        EXPECT_TRUE(g_leaveRequests.empty());
        Tavro_UnInstall(dialog.hwnd());
        DestroyWindow(button);
    }
}

TEST_F(CoreTest, WithoutTrackMouseEventFlatButtonsAreHotFromAttachAndStyleRefresh)
{
    setTrackMouseEventForTesting(nullptr);
    HWND button = dialog.addButton(kId, BS_FLAT);
    HookedButton& b = attached(button);
    EXPECT_TRUE(b.hot);
    SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(b.hot);
    SendMessageA(button, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(b.hot);
    SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(b.hot) << "moves never make it hot without leave tracking";
    refreshStyle(button);
    EXPECT_TRUE(b.hot);
}

TEST_F(CoreTest, LoadFindsTrackMouseEventInComctl32)
{
    const HMODULE comctl = GetModuleHandleA("comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    EXPECT_EQ(reinterpret_cast<FARPROC>(g_trackMouseEvent), GetProcAddress(comctl, "_TrackMouseEvent"));
    EXPECT_NE(g_trackMouseEvent, nullptr);
}

TEST_F(CoreTest, SystemColourChangeReachesOnlyTheColoursStillFollowed)
{
    HWND follows = dialog.addButton(kId, BS_PUSHBUTTON, "A", {10, 10, 110, 40});
    HWND ownFace = dialog.addButton(kId + 1, BS_PUSHBUTTON, "B", {10, 50, 110, 80});
    HWND ownText = dialog.addButton(kId + 2, BS_PUSHBUTTON, "C", {10, 90, 110, 120});
    HookedButton& a = attached(follows);
    HookedButton& b = attached(ownFace);
    HookedButton& c = attached(ownText);
    ASSERT_TRUE(Tavro_SetFaceColor(dialog.hwnd(), kId + 1, RGB(102, 153, 204)));
    ASSERT_TRUE(Tavro_SetTextColor(dialog.hwnd(), kId + 2, RGB(1, 2, 3), RGB(4, 5, 6)));
    const COLORREF derivedHighlight = b.highlightColor, derivedShadow = b.shadowColor;

    const int indexes[] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_HOTLIGHT, COLOR_3DLIGHT,
                           COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW};
    COLORREF saved[7], changed[7];
    for (int i = 0; i < 7; ++i) {
        saved[i] = GetSysColor(indexes[i]);
        changed[i] = saved[i] ^ RGB(0x11 * (i + 1), 0x22, 0x33);
    }
    ASSERT_TRUE(SetSysColors(7, indexes, changed));
    SendMessageA(dialog.hwnd(), WM_SYSCOLORCHANGE, 0, 0);
    const COLORREF aFace = a.faceColor, aText = a.textColor, aHot = a.hotTextColor, aShadow = a.shadowColor,
                   aDark = a.darkShadowColor;
    const COLORREF bFace = b.faceColor, bText = b.textColor, bHighlight = b.highlightColor,
                   bShadow = b.shadowColor;
    const COLORREF cFace = c.faceColor, cText = c.textColor, cHot = c.hotTextColor;
    SetSysColors(7, indexes, saved);

    EXPECT_EQ(aFace, changed[0]);
    EXPECT_EQ(aText, changed[1]);
    EXPECT_EQ(aHot, changed[2]);
    EXPECT_EQ(aShadow, changed[4]);
    EXPECT_EQ(aDark, changed[6]);
    EXPECT_EQ(bFace, RGB(102, 153, 204)) << "own face colour kept";
    EXPECT_EQ(bHighlight, derivedHighlight);
    EXPECT_EQ(bShadow, derivedShadow);
    EXPECT_EQ(bText, changed[1]) << "text still follows the system";
    EXPECT_EQ(cText, RGB(1, 2, 3)) << "own text colour kept";
    EXPECT_EQ(cHot, RGB(4, 5, 6));
    EXPECT_EQ(cFace, changed[0]) << "face still follows the system";
}

TEST_F(CoreTest, SetSysColorsReturnsBothGroupsToTheSystem)
{
    HWND button = dialog.addButton(kId);
    HookedButton& b = attached(button);
    ASSERT_TRUE(Tavro_SetFaceColor(dialog.hwnd(), kId, RGB(255, 0, 0)));
    ASSERT_TRUE(Tavro_SetTextColor(dialog.hwnd(), kId, RGB(1, 2, 3), RGB(4, 5, 6)));
    EXPECT_FALSE(b.faceColorsFromSystem);
    EXPECT_FALSE(b.textColorsFromSystem);
    ASSERT_TRUE(Tavro_SetSysColors(dialog.hwnd(), kId));
    EXPECT_TRUE(b.faceColorsFromSystem);
    EXPECT_TRUE(b.textColorsFromSystem);
    EXPECT_EQ(b.faceColor, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(b.highlightColor, GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(b.textColor, GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(b.hotTextColor, GetSysColor(COLOR_HOTLIGHT));
}

TEST_F(CoreTest, MovingOrResizingKeepsTheFocusAndMarksTheCapturedBackgroundStale)
{
    HWND button = dialog.addButton(kId, BS_PUSHBUTTON, "T", {10, 10, 110, 40}, WS_EX_TRANSPARENT);
    HookedButton& b = attached(button);
    for (UINT message : {WM_MOVE, WM_SIZE}) {
        SCOPED_TRACE(message == WM_MOVE ? "WM_MOVE" : "WM_SIZE");
        SendMessageA(button, WM_ERASEBKGND, 0, 0);
        ASSERT_TRUE(b.backgroundValid);
        SetFocus(button);
        ASSERT_EQ(GetFocus(), button);
        SendMessageA(button, message, 0, MAKELPARAM(30, 30));
        EXPECT_FALSE(b.backgroundValid);
        EXPECT_EQ(GetFocus(), button);
        EXPECT_TRUE(IsWindowVisible(button));
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(button, GWL_EXSTYLE)) & WS_EX_TRANSPARENT,
                  DWORD(WS_EX_TRANSPARENT));
    }
}

TEST_F(CoreTest, EraseIsConsumedAndCapturesOnlyForTransparentButtons)
{
    HWND opaque = dialog.addButton(kId, BS_PUSHBUTTON, "O", {10, 10, 110, 40});
    HWND transparent = dialog.addButton(kId + 1, BS_PUSHBUTTON, "T", {10, 50, 110, 80}, WS_EX_TRANSPARENT);
    HookedButton& o = attached(opaque);
    HookedButton& t = attached(transparent);
    EXPECT_EQ(SendMessageA(opaque, WM_ERASEBKGND, 0, 0), 1);
    EXPECT_EQ(SendMessageA(transparent, WM_ERASEBKGND, 0, 0), 1);
    EXPECT_EQ(o.background, nullptr);
    ASSERT_NE(t.background, nullptr);
    BITMAP bm = {};
    ASSERT_TRUE(GetObjectA(t.background, sizeof bm, &bm));
    EXPECT_EQ(bm.bmWidth, 100);
    EXPECT_EQ(bm.bmHeight, 30);

    const HBITMAP first = t.background;
    SendMessageA(transparent, WM_ERASEBKGND, 0, 0);
    EXPECT_EQ(t.background, first) << "a valid copy is not taken again";

    SetWindowLongA(transparent, GWL_EXSTYLE, 0);
    EXPECT_EQ(t.background, nullptr) << "losing transparency drops the copy";
    EXPECT_FALSE(t.backgroundValid);
}

TEST_F(CoreTest, MessagesForWindowsWithoutRecordGoToTheDefaultProcedure)
{
    HWND stray = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(ButtonWndProc(stray, WM_GETTEXTLENGTH, 0, 0), DefWindowProcA(stray, WM_GETTEXTLENGTH, 0, 0));
    EXPECT_EQ(DialogWndProc(stray, WM_NCHITTEST, 0, MAKELPARAM(5, 5)),
              DefWindowProcA(stray, WM_NCHITTEST, 0, MAKELPARAM(5, 5)));
    DestroyWindow(stray);
}

TEST_F(CoreTest, HiddenButtonsStayHiddenWhenMovedOrResized)
{
    HWND button = dialog.addButton(kId, BS_PUSHBUTTON, "T", {10, 10, 110, 40}, WS_EX_TRANSPARENT);
    HookedButton& b = attached(button);
    const std::pair<const char*, std::function<void()>> moves[] = {
        {"WM_MOVE", [&] { SendMessageA(button, WM_MOVE, 0, MAKELPARAM(30, 30)); }},
        {"WM_SIZE", [&] { SendMessageA(button, WM_SIZE, SIZE_RESTORED, MAKELPARAM(90, 25)); }},
        {"MoveWindow", [&] { MoveWindow(button, 40, 60, 120, 30, TRUE); }},
        {"SetWindowPos", [&] { SetWindowPos(button, nullptr, 5, 5, 80, 20, SWP_NOZORDER | SWP_NOACTIVATE); }},
    };
    for (const auto& [name, move] : moves) {
        SCOPED_TRACE(name);
        ShowWindow(button, SW_HIDE);
        SendMessageA(button, WM_ERASEBKGND, 0, 0);
        move();
        EXPECT_EQ(styleOf(button) & WS_VISIBLE, 0u) << "a hidden button stays hidden";
        EXPECT_FALSE(b.backgroundValid) << "its copy of the parent is stale all the same";

        // Visible itself inside a hidden dialog: still shown again.
        ShowWindow(button, SW_SHOW);
        ShowWindow(dialog.hwnd(), SW_HIDE);
        move();
        EXPECT_EQ(styleOf(button) & WS_VISIBLE, DWORD(WS_VISIBLE));
        ShowWindow(dialog.hwnd(), SW_SHOW);
    }
}

// The button's own procedure captures the mouse at a press, so a pressed
// button keeps receiving moves while the cursor is outside it.
TEST_F(CoreTest, APressedFlatButtonDraggedOutsideIsHotOnlyWhileOverIt)
{
    setTrackMouseEventForTesting(recordLeaveRequest);
    g_leaveRequests.clear();
    HWND button = dialog.addButton(kId, BS_FLAT);
    HookedButton& b = attached(button);
    SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(b.hot);
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    for (const POINT outside : {POINT{kWidth + 20, 5}, POINT{-5, 5}, POINT{5, -3}, POINT{kWidth, 5}}) {
        SCOPED_TRACE("move to " + std::to_string(outside.x) + ", " + std::to_string(outside.y));
        SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(outside.x, outside.y));
        EXPECT_FALSE(b.hot);
        SendMessageA(button, WM_MOUSELEAVE, 0, 0);  // what a leave request outside brings at once
        EXPECT_FALSE(b.hot);
    }
    EXPECT_EQ(g_leaveRequests.size(), 1u) << "no leave is asked for while outside";
    SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(kWidth - 1, 29));
    EXPECT_TRUE(b.hot) << "back over the button";
    EXPECT_EQ(g_leaveRequests.size(), 2u);
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(kWidth - 1, 29));
}
