// ShellProc against the real window manager: what the tool window receives,
// what the hook returns, and what the next hook in the chain receives.
#include "orvane.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testing_support::pumpMessages;

namespace {

struct ToolMessage {
    HWND window;
    LPARAM event;
};

struct Chained {
    int code;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<ToolMessage> g_toolMessages;
std::vector<Chained> g_chained;
bool g_recording = false;
constexpr LRESULT kRecorderResult = 0x5A17;

LRESULT CALLBACK toolProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kOrvaneEventMessage) {
        g_toolMessages.push_back({reinterpret_cast<HWND>(wParam), lParam});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The hook that ShellProc chains to: installed first, so it is next in line.
LRESULT CALLBACK recorderProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (g_recording) {
        g_chained.push_back({code, wParam, lParam});
        return kRecorderResult;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A hook installed after the recorder. While the window manager runs it,
// it calls ShellProc with the case under test, so that ShellProc's own
// CallNextHookEx reaches the recorder exactly as it would for a real event.
struct PendingCall {
    bool armed = false;
    int code = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = -1;
};
PendingCall g_pending;
HOOKPROC g_shellProc = nullptr;

LRESULT CALLBACK driverProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (!g_pending.armed)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    g_pending.armed = false;
    g_recording = true;
    g_pending.result = g_shellProc(g_pending.code, g_pending.wParam, g_pending.lParam);
    g_recording = false;
    return 0;
}

HWND createTool(const char* title)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = toolProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.cbWndExtra = sizeof(LONG_PTR);
        wc.lpszClassName = kOrvaneWindowClass;
        registered = RegisterClassA(&wc) != 0;
    }
    return CreateWindowExA(0, kOrvaneWindowClass, title, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

class ShellProcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        module = LoadLibraryA("Orvane.dll");
        ASSERT_NE(module, nullptr);
        g_shellProc = reinterpret_cast<HOOKPROC>(GetProcAddress(module, "ShellProc"));
        ASSERT_NE(g_shellProc, nullptr);
        g_toolMessages.clear();
        g_chained.clear();
    }

    void TearDown() override
    {
        for (HHOOK hook : hooks)
            UnhookWindowsHookEx(hook);
        for (HWND window : windows)
            if (IsWindow(window))
                DestroyWindow(window);
        FreeLibrary(module);
    }

    HHOOK installThreadHook(HOOKPROC proc)
    {
        HHOOK hook = SetWindowsHookExA(WH_SHELL, proc, nullptr, GetCurrentThreadId());
        hooks.push_back(hook);
        return hook;
    }

    HWND keep(HWND window)
    {
        windows.push_back(window);
        return window;
    }

    // Runs ShellProc(code, wParam, lParam) inside a real hook call: the
    // creation of a throw-away top-level window makes the window manager
    // call the driver hook.
    LRESULT callInsideHookChain(int code, WPARAM wParam, LPARAM lParam)
    {
        g_pending = {true, code, wParam, lParam, -1};
        HWND trigger = CreateWindowExA(0, "STATIC", "trigger", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                       nullptr, nullptr);
        DestroyWindow(trigger);
        EXPECT_FALSE(g_pending.armed) << "the window manager never called the driver hook";
        return g_pending.result;
    }

    HMODULE module = nullptr;
    std::vector<HHOOK> hooks;
    std::vector<HWND> windows;
};

enum class Tool { Present, Absent, OtherTitle };
enum class Target { Live, Null, Dead };

struct ShellCase {
    const char* name;
    Tool tool;
    int code;
    Target target;
    bool toolNotified;
    LPARAM event;           // when notified
    bool targetIsForeground;  // the foreground window is reported and chained
};

class ShellProcTable : public ShellProcTest, public ::testing::WithParamInterface<ShellCase> {};

TEST_P(ShellProcTable, ReportsToTheToolAndChains)
{
    const ShellCase& c = GetParam();

    HWND foreground = keep(testing_support::createTopLevelWindow("foreground"));
    SetForegroundWindow(foreground);
    pumpMessages(20);
    ASSERT_EQ(GetForegroundWindow(), foreground);

    HWND live = keep(testing_support::createTopLevelWindow("subject"));
    HWND dead = testing_support::createTopLevelWindow("gone");
    DestroyWindow(dead);
    const HWND target = c.target == Target::Live ? live : c.target == Target::Null ? nullptr : dead;

    installThreadHook(recorderProc);
    HHOOK driver = installThreadHook(driverProc);
    if (c.tool != Tool::Absent) {
        HWND tool = keep(createTool(c.tool == Tool::Present ? kOrvaneWindowTitle : "Orvane"));
        ASSERT_NE(tool, nullptr);
        SetWindowLongPtrA(tool, 0, reinterpret_cast<LONG_PTR>(driver));
    }

    const LPARAM lParam = 0x1234;
    const LRESULT result = callInsideHookChain(c.code, reinterpret_cast<WPARAM>(target), lParam);

    const HWND expectedWindow = c.targetIsForeground ? foreground : target;
    if (c.toolNotified) {
        ASSERT_EQ(g_toolMessages.size(), 1u);
        EXPECT_EQ(g_toolMessages[0].window, expectedWindow);
        EXPECT_EQ(g_toolMessages[0].event, c.event);
    } else {
        EXPECT_TRUE(g_toolMessages.empty());
    }

    if (c.tool == Tool::Present) {
        ASSERT_EQ(g_chained.size(), 1u) << "the next hook must be called";
        EXPECT_EQ(g_chained[0].code, c.code);
        EXPECT_EQ(g_chained[0].wParam, reinterpret_cast<WPARAM>(expectedWindow));
        EXPECT_EQ(g_chained[0].lParam, lParam);
        EXPECT_EQ(result, kRecorderResult) << "ShellProc returns what the chain returned";
    } else {
        EXPECT_TRUE(g_chained.empty()) << "without the tool the chain is not called";
        EXPECT_EQ(result, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShellProcTable,
    ::testing::Values(
        ShellCase{"created", Tool::Present, HSHELL_WINDOWCREATED, Target::Live, true, OrvaneWindowCreated, false},
        ShellCase{"destroyed", Tool::Present, HSHELL_WINDOWDESTROYED, Target::Live, true, OrvaneWindowDestroyed, false},
        ShellCase{"destroyed_dead_window_reported_as_is", Tool::Present, HSHELL_WINDOWDESTROYED, Target::Dead, true,
                  OrvaneWindowDestroyed, false},
        ShellCase{"activated_live", Tool::Present, HSHELL_WINDOWACTIVATED, Target::Live, true, OrvaneWindowActivated,
                  false},
        ShellCase{"activated_null_uses_foreground", Tool::Present, HSHELL_WINDOWACTIVATED, Target::Null, true,
                  OrvaneWindowActivated, true},
        ShellCase{"activated_dead_uses_foreground", Tool::Present, HSHELL_WINDOWACTIVATED, Target::Dead, true,
                  OrvaneWindowActivated, true},
        ShellCase{"redraw_only_chained", Tool::Present, HSHELL_REDRAW, Target::Live, false, 0, false},
        ShellCase{"negative_code_only_chained", Tool::Present, -1, Target::Live, false, 0, false},
        ShellCase{"no_tool_created", Tool::Absent, HSHELL_WINDOWCREATED, Target::Live, false, 0, false},
        ShellCase{"no_tool_activated", Tool::Absent, HSHELL_WINDOWACTIVATED, Target::Null, false, 0, false},
        ShellCase{"no_tool_redraw", Tool::Absent, HSHELL_REDRAW, Target::Live, false, 0, false},
        ShellCase{"tool_with_other_title_is_not_found", Tool::OtherTitle, HSHELL_WINDOWCREATED, Target::Live, false,
                  0, false}),
    [](const ::testing::TestParamInfo<ShellCase>& info) { return std::string(info.param.name); });

TEST_F(ShellProcTest, EmptyHookSlotStillChains)
{
    installThreadHook(recorderProc);
    installThreadHook(driverProc);
    HWND tool = keep(createTool(kOrvaneWindowTitle));
    SetWindowLongPtrA(tool, 0, 0);
    HWND live = keep(testing_support::createTopLevelWindow("subject"));

    const LRESULT result = callInsideHookChain(HSHELL_WINDOWCREATED, reinterpret_cast<WPARAM>(live), 0);
    ASSERT_EQ(g_toolMessages.size(), 1u);
    ASSERT_EQ(g_chained.size(), 1u);
    EXPECT_EQ(result, kRecorderResult);
}

// End to end: the DLL installed as a global shell hook the way the
// inspection tool installs it.
TEST_F(ShellProcTest, RealHookReportsCreationAndDestruction)
{
    HWND tool = keep(createTool(kOrvaneWindowTitle));
    HHOOK hook = SetWindowsHookExA(WH_SHELL, g_shellProc, module, 0);
    ASSERT_NE(hook, nullptr);
    hooks.push_back(hook);
    SetWindowLongPtrA(tool, 0, reinterpret_cast<LONG_PTR>(hook));
    pumpMessages(20);
    g_toolMessages.clear();

    HWND subject = testing_support::createTopLevelWindow("subject");
    pumpMessages(50);
    DestroyWindow(subject);
    pumpMessages(50);

    bool created = false;
    bool destroyed = false;
    for (const ToolMessage& m : g_toolMessages) {
        if (m.window != subject)
            continue;
        EXPECT_NE(m.event, 4) << "the shell code is never passed through as the event";
        created |= m.event == OrvaneWindowCreated;
        destroyed |= m.event == OrvaneWindowDestroyed;
    }
    EXPECT_TRUE(created);
    EXPECT_TRUE(destroyed);
}

}  // namespace
