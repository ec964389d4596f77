// Tavrolib.dll as a careless or hostile host uses it: every export with
// handles and identifiers that are not installed or attached, windows of
// another thread, exports called from inside the host's own notification and
// drawing handlers, windows destroyed while attached, and identifiers and
// texts at their extremes. Nothing may crash, a refusal changes nothing, and
// the host's dialog and buttons keep working.
#include "button_dialog.h"
#include "dib_surface.h"
#include "host_api.h"
#include "robust_support.h"
#include "tavro_fixtures.h"
#include "tavrolib.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

namespace {

using button_testing::ButtonDialog;
using robust::LoadedLibrary;
using robust::TavroApi;

// What a host sees of a window: a changed value means the library touched it.
struct WindowLook {
    LONG_PTR proc;
    LONG style;
    bool operator==(const WindowLook& o) const { return proc == o.proc && style == o.style; }
};
WindowLook lookOf(HWND window)
{
    return {GetWindowLongPtrA(window, GWLP_WNDPROC), GetWindowLongA(window, GWL_STYLE)};
}

class ButtonAbuse : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(dll.module(), nullptr);
        ASSERT_TRUE(api.complete());
        ASSERT_NE(fixtures, nullptr);
    }
    void TearDown() override { FreeLibrary(fixtures); }

    // A window of a thread that has ended: a dead handle of another thread.
    static HWND windowOfAnEndedThread()
    {
        HWND window = nullptr;
        std::thread([&] { window = CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr,
                                                   nullptr, nullptr); }).join();
        return window;
    }

    LoadedLibrary dll{"Tavrolib.dll"};
    TavroApi api{dll};
    HMODULE fixtures = LoadLibraryA(TAVRO_FIXTURES_DLL);
};

// A window with a push button that another thread owns and keeps serving.
class ForeignDialog {
public:
    ForeignDialog()
    {
        HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, ready] {
            dialog_ = CreateWindowExA(0, "STATIC", "foreign", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr,
                                      nullptr);
            button_ = CreateWindowExA(0, "Button", "b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 5, 5, 80, 24, dialog_,
                                      reinterpret_cast<HMENU>(5), nullptr, nullptr);
            threadId_ = GetCurrentThreadId();
            SetEvent(ready);
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0)
                DispatchMessageA(&msg);
            DestroyWindow(dialog_);
        });
        WaitForSingleObject(ready, 10000);
        CloseHandle(ready);
    }
    ~ForeignDialog()
    {
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    HWND hwnd() const { return dialog_; }
    HWND button() const { return button_; }

private:
    std::thread thread_;
    HWND dialog_ = nullptr;
    HWND button_ = nullptr;
    DWORD threadId_ = 0;
};

TEST_F(ButtonAbuse, EveryExportRefusesDialogsAndControlsItDoesNotHold)
{
    ButtonDialog installed, notInstalled, destroyed;
    HWND button = installed.addButton(1);
    installed.addControl(2, "Static", SS_LEFT | 0x1);
    installed.addButton(3, BS_CHECKBOX);
    installed.addControl(4, "Edit", ES_LEFT | 0x1);
    HWND foreignButton = notInstalled.addButton(1);
    HWND dead = destroyed.hwnd();
    ASSERT_TRUE(api.install(installed.hwnd()));
    ASSERT_TRUE(api.setGlisk(installed.hwnd(), 1, true));
    ASSERT_TRUE(api.install(dead));
    DestroyWindow(dead);  // installed, then destroyed
    ForeignDialog foreign;

    const struct {
        const char* name;
        HWND dialog;
        unsigned int id;
    } targets[] = {
        {"null dialog", nullptr, 1},
        {"dialog not installed", notInstalled.hwnd(), 1},
        {"dialog destroyed", dead, 1},
        {"dialog of another thread", foreign.hwnd(), 5},
        {"dialog of an ended thread", windowOfAnEndedThread(), 1},
        {"button handle for a dialog", button, 1},
        {"static control", installed.hwnd(), 2},
        {"check box", installed.hwnd(), 3},
        {"edit control with the low style bit", installed.hwnd(), 4},
        {"identifier of no control", installed.hwnd(), 99},
        {"identifier 0xFFFF of no control", installed.hwnd(), 0xFFFF},
        {"identifier 0xFFFFFFFF of no control", installed.hwnd(), 0xFFFFFFFF},
    };
    const HWND watched[] = {installed.hwnd(), button, notInstalled.hwnd(), foreignButton, foreign.hwnd(),
                            foreign.button()};
    for (const auto& t : targets) {
        SCOPED_TRACE(t.name);
        std::vector<WindowLook> before;
        for (HWND w : watched)
            before.push_back(lookOf(w));
        SIZE size{-7, -9};
        EXPECT_FALSE(api.setMode(t.dialog, t.id, TavroToggle));
        EXPECT_FALSE(api.loadIcons(t.dialog, t.id, fixtures, FIXTURE_ICON_PLAIN, 0));
        EXPECT_FALSE(api.setTextColor(t.dialog, t.id, RGB(1, 2, 3), RGB(4, 5, 6)));
        EXPECT_FALSE(api.setFaceColor(t.dialog, t.id, RGB(7, 8, 9)));
        EXPECT_FALSE(api.setSysColors(t.dialog, t.id));
        EXPECT_FALSE(api.getOptimalSize(t.dialog, t.id, size));
        EXPECT_EQ(size.cx, -7);
        EXPECT_EQ(size.cy, -9);
        EXPECT_FALSE(api.setGlisk(t.dialog, t.id, false));
        EXPECT_FALSE(api.setGlisk(t.dialog, t.id, true));
        for (std::size_t i = 0; i < std::size(watched); ++i)
            EXPECT_EQ(lookOf(watched[i]), before[i]) << "window " << i << " was changed";
    }
    EXPECT_FALSE(api.install(nullptr));
    EXPECT_FALSE(api.install(installed.hwnd())) << "installed already";
    EXPECT_FALSE(api.unInstall(nullptr));
    EXPECT_FALSE(api.unInstall(notInstalled.hwnd()));
    // The attached button still answers as the library's.
    EXPECT_TRUE(api.setMode(installed.hwnd(), 1, TavroToggle));
    button_testing::click(button, 5, 5);
    EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(api.unInstall(installed.hwnd()));
    EXPECT_FALSE(api.unInstall(dead)) << "a destroyed dialog is forgotten with its window";
}

TEST_F(ButtonAbuse, WindowsOfAnotherThreadAreNeverInstalled)
{
    ForeignDialog foreign;
    const WindowLook dialogBefore = lookOf(foreign.hwnd()), buttonBefore = lookOf(foreign.button());
    EXPECT_FALSE(api.install(foreign.hwnd()));
    EXPECT_FALSE(api.setGlisk(foreign.hwnd(), 5, true));
    EXPECT_EQ(lookOf(foreign.hwnd()), dialogBefore);
    EXPECT_EQ(lookOf(foreign.button()), buttonBefore);
    EXPECT_FALSE(api.unInstall(foreign.hwnd()));
    // Its thread still runs it with its own procedure.
    EXPECT_EQ(SendMessageA(foreign.button(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

// What the host does inside its WM_NOTIFY handler for the press.
struct NotifyAction {
    const char* name;
    std::function<void(const TavroApi&, HWND dialog, unsigned int id, HMODULE fixtures)> run;
    bool attachedAfter;
};

TEST_F(ButtonAbuse, ExportsCalledFromTheHostsNotificationHandler)
{
    const NotifyAction actions[] = {
        {"detach", [](const TavroApi& a, HWND d, unsigned id, HMODULE) { a.setGlisk(d, id, false); }, false},
        {"uninstall", [](const TavroApi& a, HWND d, unsigned, HMODULE) { a.unInstall(d); }, false},
        {"uninstall, install and attach again",
         [](const TavroApi& a, HWND d, unsigned id, HMODULE) {
             a.unInstall(d);
             a.install(d);
             a.setGlisk(d, id, true);
         },
         true},
        {"detach and attach again",
         [](const TavroApi& a, HWND d, unsigned id, HMODULE) {
             a.setGlisk(d, id, false);
             a.setGlisk(d, id, true);
         },
         true},
        {"every setter",
         [](const TavroApi& a, HWND d, unsigned id, HMODULE m) {
             SIZE size;
             a.setMode(d, id, TavroSplitRight);
             a.loadIcons(d, id, m, FIXTURE_ICON_COLOURS, FIXTURE_ICON_PLAIN);
             a.setTextColor(d, id, RGB(200, 0, 0), RGB(0, 200, 0));
             a.setFaceColor(d, id, RGB(20, 40, 60));
             a.getOptimalSize(d, id, size);
             a.setSysColors(d, id);
         },
         true},
        {"destroy the button", [](const TavroApi&, HWND d, unsigned id, HMODULE) { DestroyWindow(GetDlgItem(d, id)); },
         true},
    };
    for (const NotifyAction& action : actions) {
        SCOPED_TRACE(action.name);
        ButtonDialog host;
        const unsigned int id = 0x1234;
        HWND button = host.addButton(id);
        const WindowLook own = lookOf(button);
        ASSERT_TRUE(api.install(host.hwnd()));
        ASSERT_TRUE(api.setGlisk(host.hwnd(), id, true));
        ASSERT_TRUE(api.setMode(host.hwnd(), id, TavroNotify));
        int told = 0;
        host.onNotify = [&](const NMHDR& header) {
            if (header.code == TAVRO_PRESS_NOTIFICATION && told++ == 0)
                action.run(api, host.hwnd(), id, fixtures);
        };
        button_testing::click(button, 5, 5);
        EXPECT_EQ(told, 1);
        if (!IsWindow(button)) {
            EXPECT_FALSE(api.setGlisk(host.hwnd(), id, false)) << "a destroyed button is forgotten with its window";
            host.addButton(id);
            EXPECT_TRUE(api.setGlisk(host.hwnd(), id, true)) << "its identifier is free again";
            EXPECT_TRUE(api.unInstall(host.hwnd()));
            continue;
        }
        SIZE size{};
        EXPECT_EQ(api.getOptimalSize(host.hwnd(), id, size), action.attachedAfter);
        if (!action.attachedAfter) {
            EXPECT_EQ(lookOf(button), own) << "a detached button is its own again";
            // and behaves as a plain button: a click is a click.
            host.events.clear();
            SendMessageA(button, BM_CLICK, 0, 0);
            EXPECT_EQ(host.clicks(), 1);
        } else {
            // Still the library's: in notify mode again, the next press notifies.
            ASSERT_TRUE(api.setMode(host.hwnd(), id, TavroNotify));
            button_testing::click(button, 5, 5);
            EXPECT_EQ(told, 2);
        }
        api.unInstall(host.hwnd());
        EXPECT_EQ(lookOf(button), own);
    }
}

// The host's own WM_DRAWITEM handler, as a subclass below the library's.
std::function<void(const DRAWITEMSTRUCT&)> g_onHostDraw;
WNDPROC g_hostDialogProc = nullptr;

LRESULT CALLBACK hostDrawingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DRAWITEM && g_onHostDraw)
        g_onHostDraw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return CallWindowProcA(g_hostDialogProc, window, message, wParam, lParam);
}

// The host's own owner-drawn button beside an attached one: its WM_DRAWITEM
// reaches the host, which calls the library from there.
TEST_F(ButtonAbuse, ExportsCalledFromTheHostsOwnDrawingHandler)
{
    ButtonDialog host;
    HWND attached = host.addButton(1);
    HWND ownerDrawn = host.addButton(2, BS_OWNERDRAW, "mine", {10, 50, 110, 80});
    g_hostDialogProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(host.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hostDrawingProc)));
    ASSERT_TRUE(api.install(host.hwnd()));
    ASSERT_TRUE(api.setGlisk(host.hwnd(), 1, true));
    int hostDraws = 0;
    g_onHostDraw = [&](const DRAWITEMSTRUCT& item) {
        ++hostDraws;
        EXPECT_EQ(item.CtlID, 2u) << "attached buttons are drawn by the library, not the host";
        api.setFaceColor(host.hwnd(), 1, RGB(90, 10, 10));
        api.setGlisk(host.hwnd(), 1, false);
        api.setGlisk(host.hwnd(), 1, true);
        RedrawWindow(attached, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    };
    for (int i = 0; i < 5; ++i) {
        RedrawWindow(ownerDrawn, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        RedrawWindow(attached, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    g_onHostDraw = nullptr;
    EXPECT_GE(hostDraws, 5);
    SIZE size{};
    EXPECT_TRUE(api.getOptimalSize(host.hwnd(), 1, size));
    EXPECT_TRUE(api.unInstall(host.hwnd()));
    EXPECT_EQ(GetWindowLongPtrA(host.hwnd(), GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(hostDrawingProc));
    SetWindowLongPtrA(host.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_hostDialogProc));
}

// A host that destroys an installed dialog, or an attached button, without
// uninstalling or detaching it: the library forgets the window with its
// icons and captured background, and never writes to it again.
TEST_F(ButtonAbuse, DestroyedWindowsAreForgottenWithTheirObjects)
{
    for (const bool wholeDialog : {false, true}) {
        SCOPED_TRACE(wholeDialog ? "dialog destroyed" : "button destroyed");
        ButtonDialog host;
        const int gdiObjects = robust::liveGdiObjects();
        HWND first = host.addButton(7, BS_PUSHBUTTON, "gone", {10, 10, 110, 40}, WS_EX_TRANSPARENT);
        ASSERT_TRUE(api.install(host.hwnd()));
        ASSERT_TRUE(api.setGlisk(host.hwnd(), 7, true));
        ASSERT_TRUE(api.loadIcons(host.hwnd(), 7, fixtures, FIXTURE_ICON_COLOURS, FIXTURE_ICON_PLAIN));
        RedrawWindow(first, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);  // captures
        EXPECT_GT(robust::liveGdiObjects(), gdiObjects);

        DestroyWindow(wholeDialog ? host.hwnd() : first);
        EXPECT_LE(robust::liveGdiObjects(), gdiObjects) << "icons or background left: " << robust::liveGdiObjectKinds();
        SIZE size{-7, -9};
        EXPECT_FALSE(api.setMode(host.hwnd(), 7, TavroToggle));
        EXPECT_FALSE(api.getOptimalSize(host.hwnd(), 7, size));
        EXPECT_FALSE(api.setGlisk(host.hwnd(), 7, false));
        if (wholeDialog) {
            EXPECT_FALSE(api.unInstall(host.hwnd()));
            ButtonDialog next;
            next.addButton(7);
            EXPECT_TRUE(api.install(next.hwnd()));
            EXPECT_TRUE(api.setGlisk(next.hwnd(), 7, true));
            EXPECT_TRUE(api.unInstall(next.hwnd()));
            continue;
        }
        HWND second = host.addButton(7);
        const WindowLook own = lookOf(second);
        EXPECT_TRUE(api.setGlisk(host.hwnd(), 7, true)) << "a new button takes the identifier";
        EXPECT_TRUE(api.getOptimalSize(host.hwnd(), 7, size));
        EXPECT_TRUE(api.unInstall(host.hwnd()));
        EXPECT_EQ(lookOf(second), own);
    }
}

TEST_F(ButtonAbuse, ExtremeIdentifiersAndLongTextsAreServed)
{
    ButtonDialog host(900, 200);
    const std::string longText(1000, 'W');
    const struct {
        unsigned int id;
        const char* text;
    } buttons[] = {{0xFFFF, "max word"}, {0xFFFFFFFF, "all ones"}, {0, "zero"}, {3, longText.c_str()}};
    int y = 5;
    for (const auto& b : buttons) {
        host.addButton(static_cast<int>(b.id), BS_PUSHBUTTON, b.text, {5, y, 805, y + 30});
        y += 35;
    }
    ASSERT_TRUE(api.install(host.hwnd()));
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.id);
        ASSERT_TRUE(api.setGlisk(host.hwnd(), b.id, true));
        EXPECT_TRUE(api.setMode(host.hwnd(), b.id, TavroNotify));
        EXPECT_TRUE(api.loadIcons(host.hwnd(), b.id, fixtures, FIXTURE_ICON_COLOURS, 0));
        SIZE size{};
        EXPECT_TRUE(api.getOptimalSize(host.hwnd(), b.id, size));
        EXPECT_GT(size.cx, 16);
        host.events.clear();
        button_testing::click(GetDlgItem(host.hwnd(), static_cast<int>(b.id)), 5, 5);
        ASSERT_EQ(host.notifications(TAVRO_PRESS_NOTIFICATION), 1);
        const auto it = std::find_if(host.events.begin(), host.events.end(),
                                     [](const button_testing::HostEvent& e) { return e.message == WM_NOTIFY; });
        EXPECT_EQ(static_cast<unsigned int>(it->wParam), b.id) << "the notification names the control";
    }
    SIZE longSize{}, shortSize{};
    ASSERT_TRUE(api.getOptimalSize(host.hwnd(), 3, longSize));
    ASSERT_TRUE(api.getOptimalSize(host.hwnd(), 0xFFFF, shortSize));
    EXPECT_GT(longSize.cx, shortSize.cx);
    EXPECT_TRUE(api.unInstall(host.hwnd()));
}

TEST_F(ButtonAbuse, UnloadingWithDialogsInstalledAndAButtonHeldLeavesWorkingWindows)
{
    ButtonDialog host;
    HWND held = host.addButton(1);
    HWND toggle = host.addButton(2, BS_AUTOCHECKBOX | BS_PUSHLIKE, "t", {10, 50, 110, 80});
    const WindowLook ownHeld = lookOf(held), ownToggle = lookOf(toggle), ownDialog = lookOf(host.hwnd());
    ASSERT_TRUE(api.install(host.hwnd()));
    ASSERT_TRUE(api.setGlisk(host.hwnd(), 1, true));
    ASSERT_TRUE(api.setGlisk(host.hwnd(), 2, true));
    ASSERT_TRUE(api.setMode(host.hwnd(), 2, TavroToggle));
    ASSERT_TRUE(api.loadIcons(host.hwnd(), 1, fixtures, FIXTURE_ICON_COLOURS, FIXTURE_ICON_PLAIN));
    SendMessageA(held, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));  // pressed, never released
    button_testing::click(toggle, 5, 5);
    dll.unload();
    EXPECT_EQ(GetModuleHandleA("Tavrolib.dll"), nullptr);
    EXPECT_EQ(lookOf(host.hwnd()), ownDialog);
    EXPECT_EQ(lookOf(held) .proc, ownHeld.proc);
    EXPECT_EQ(lookOf(toggle).proc, ownToggle.proc);
    // Every window goes on working with its own code.
    SendMessageA(held, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    RedrawWindow(host.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    host.events.clear();
    SendMessageA(toggle, BM_CLICK, 0, 0);
    EXPECT_EQ(host.clicks(), 1);
    EXPECT_TRUE(SetWindowTextA(held, "after"));
}

}  // namespace

namespace {

// Seeded mutations of icon resources, written into a module at run time and
// loaded as a button's icons: each is taken with both images or refused
// with the button left without icons, and painting goes on either way.
TEST_F(ButtonAbuse, RewrittenIconsAreTakenWholeOrLeaveTheButtonWithoutIcons)
{
    const std::uint32_t seed = robust::runSeed();
    const robust::IconResource sources[] = {robust::iconResource(fixtures, FIXTURE_ICON_COLOURS),
                                            robust::iconResource(fixtures, FIXTURE_ICON_PLAIN)};
    for (const auto& s : sources)
        ASSERT_FALSE(s.image.empty());
    ButtonDialog host;
    ShowWindow(host.hwnd(), SW_HIDE);  // its own repaints cost nothing then
    HWND button = host.addButton(1, BS_PUSHBUTTON, "Icons", {10, 10, 110, 40});
    ASSERT_TRUE(api.install(host.hwnd()));
    ASSERT_TRUE(api.setGlisk(host.hwnd(), 1, true));
    SIZE textOnly{};
    ASSERT_TRUE(api.getOptimalSize(host.hwnd(), 1, textOnly));
    testing_support::DibSurface surface(100, 30);
    const int gdiObjects = robust::liveGdiObjects();

    const int cases = robust::scaled(200, 5000);
    const int perModule = 100;
    int taken = 0;
    for (int first = 0; first < cases; first += perModule) {
        robust::ResourceModule rewritten(robust::modulePath(fixtures), "RobustButtonIcons.dll");
        for (int n = first; n < first + perModule && n < cases; ++n) {
            std::mt19937 random = robust::caseRandom(seed, n);
            robust::addIcon(rewritten, static_cast<WORD>(1 + n - first), static_cast<WORD>(1000 + n - first),
                            robust::mutatedIcon(sources[random() % 2], random));
        }
        ASSERT_TRUE(rewritten.write());
        for (int n = first; n < first + perModule && n < cases; ++n) {
            const std::string note = robust::replayNote(seed, n);
            const unsigned int icon = static_cast<unsigned int>(1 + n - first);
            // The second icon is the next case's: either may be the bad one.
            const unsigned int second = n + 1 < first + perModule ? icon + 1 : 0;
            const bool loaded = api.loadIcons(host.hwnd(), 1, rewritten.module(), icon, second);
            taken += loaded;
            SIZE size{};
            ASSERT_TRUE(api.getOptimalSize(host.hwnd(), 1, size)) << note;
            if (loaded)
                EXPECT_GT(size.cx, textOnly.cx) << note << ": the icon takes room";
            else
                EXPECT_EQ(size.cx, textOnly.cx) << note << ": a refusal leaves no icon";
            DRAWITEMSTRUCT item = {ODT_BUTTON, 1, 0, ODA_DRAWENTIRE, 0, button, surface.dc(), {0, 0, 100, 30}, 0};
            SendMessageA(host.hwnd(), WM_DRAWITEM, 1, reinterpret_cast<LPARAM>(&item));
        }
    }
    ASSERT_TRUE(api.unInstall(host.hwnd()));
    EXPECT_LE(robust::liveGdiObjects(), gdiObjects) << "icons or image lists left over";
    std::printf("robustness: %d rewritten button icons, %d taken\n", cases, taken);
}

}  // namespace

namespace {

TEST_F(ButtonAbuse, IconsThatCannotBeLoadedLeaveTheButtonWithoutIcons)
{
    ButtonDialog host;
    host.addButton(1, BS_PUSHBUTTON, "Icons");
    ASSERT_TRUE(api.install(host.hwnd()));
    ASSERT_TRUE(api.setGlisk(host.hwnd(), 1, true));
    SIZE textOnly{};
    ASSERT_TRUE(api.getOptimalSize(host.hwnd(), 1, textOnly));
    HMODULE gone = nullptr;
    {
        robust::ResourceModule copy(robust::modulePath(fixtures), "RobustGoneIcons.dll");
        ASSERT_TRUE(copy.write());
        gone = copy.module();
    }
    const struct {
        const char* name;
        HMODULE module;
        unsigned int first, second;
        bool loaded;
    } cases[] = {
        {"first icon missing", fixtures, 4242, FIXTURE_ICON_PLAIN, false},
        {"a toolbar bitmap's identifier", fixtures, FIXTURE_TOOLBAR_4BIT, 0, false},
        {"module unloaded", gone, FIXTURE_ICON_PLAIN, 0, false},
        {"the program itself, which has no icons", nullptr, FIXTURE_ICON_PLAIN, 0, false},
        {"second icon missing: the first serves for both", fixtures, FIXTURE_ICON_PLAIN, 4242, true},
        {"only the low word names the icon", fixtures, 0x10000 | FIXTURE_ICON_COLOURS, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(api.loadIcons(host.hwnd(), 1, fixtures, FIXTURE_ICON_COLOURS, 0)) << "icons before the case";
        EXPECT_EQ(api.loadIcons(host.hwnd(), 1, c.module, c.first, c.second), c.loaded);
        SIZE size{};
        ASSERT_TRUE(api.getOptimalSize(host.hwnd(), 1, size));
        if (c.loaded)
            EXPECT_GT(size.cx, textOnly.cx);
        else
            EXPECT_EQ(size.cx, textOnly.cx) << "a refusal drops the icons the button had";
    }
    EXPECT_TRUE(api.unInstall(host.hwnd()));
}

}  // namespace

namespace {

// Modes outside the six are kept and behave as a push button; colours with
// the high byte set (palette forms, CLR_INVALID) are taken and painted
// without harm.
TEST_F(ButtonAbuse, ModesAndColoursOutOfRange)
{
    ButtonDialog host;
    HWND button = host.addButton(1, BS_PUSHBUTTON, "Odd", {10, 10, 110, 40});
    ASSERT_TRUE(api.install(host.hwnd()));
    ASSERT_TRUE(api.setGlisk(host.hwnd(), 1, true));
    testing_support::DibSurface surface(100, 30);
    const auto paint = [&] {
        DRAWITEMSTRUCT item = {ODT_BUTTON, 1, 0, ODA_DRAWENTIRE, 0, button, surface.dc(), {0, 0, 100, 30}, 0};
        return SendMessageA(host.hwnd(), WM_DRAWITEM, 1, reinterpret_cast<LPARAM>(&item)) != 0;
    };
    for (int mode : {-1, 6, 7, 255, 0x7FFFFFFF, int(0x80000000)}) {
        SCOPED_TRACE(mode);
        ASSERT_TRUE(api.setMode(host.hwnd(), 1, mode));
        host.events.clear();
        button_testing::click(button, 95, 5);  // where a split button's arrow would be
        EXPECT_EQ(host.clicks(), 1) << "a push button's click";
        EXPECT_EQ(host.notifications(TAVRO_PRESS_NOTIFICATION), 0);
        EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_TRUE(paint());
    }
    const int gdiObjects = robust::liveGdiObjects();
    for (unsigned long colour : {0xFFFFFFFFul, 0x01000005ul, 0x02FF00FFul, 0xFF000000ul, 0x00FFFFFFul, 0ul}) {
        SCOPED_TRACE(colour);
        EXPECT_TRUE(api.setFaceColor(host.hwnd(), 1, colour));
        EXPECT_TRUE(api.setTextColor(host.hwnd(), 1, colour, ~colour));
        EXPECT_TRUE(paint());
        EXPECT_TRUE(api.setSysColors(host.hwnd(), 1));
        EXPECT_TRUE(paint());
    }
    EXPECT_EQ(robust::liveGdiObjects(), gdiObjects);
    EXPECT_TRUE(api.unInstall(host.hwnd()));
}

}  // namespace
