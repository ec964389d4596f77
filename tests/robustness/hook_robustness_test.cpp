// ShellProc given what a real shell never sends and tools that misbehave:
// every code, handles that are null, dead, made up or of another thread, a
// tool without a hook slot or with rubbish in it, a tool on another thread,
// a tool that destroys itself or re-enters the hook while it is told. The
// hook never crashes, reports exactly the three events, and always chains.
#include "orvane.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <thread>
#include <vector>

namespace {

struct Told {
    HWND window;
    LPARAM event;
};
std::vector<Told> g_told;
std::vector<int> g_chainedCodes;
HOOKPROC g_shellProc = nullptr;

enum class ToolBehaviour { Listen, DestroySelf, ReEnter };
ToolBehaviour g_behaviour = ToolBehaviour::Listen;
int g_depth = 0;

LRESULT CALLBACK toolProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != kOrvaneEventMessage)
        return DefWindowProcA(window, message, wParam, lParam);
    g_told.push_back({reinterpret_cast<HWND>(wParam), lParam});
    if (g_behaviour == ToolBehaviour::DestroySelf)
        DestroyWindow(window);
    if (g_behaviour == ToolBehaviour::ReEnter && g_depth < 3) {
        ++g_depth;
        g_shellProc(HSHELL_WINDOWCREATED, wParam, 0);
        --g_depth;
    }
    return 0;
}

void registerToolClass(HINSTANCE owner, int extraBytes)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = toolProc;
    wc.hInstance = owner;
    wc.cbWndExtra = extraBytes;
    wc.lpszClassName = kOrvaneWindowClass;
    RegisterClassA(&wc);
}

HWND createTool(HINSTANCE owner = GetModuleHandleA(nullptr))
{
    return CreateWindowExA(0, kOrvaneWindowClass, kOrvaneWindowTitle, WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                           owner, nullptr);
}

// The hook ShellProc chains to, and the one that calls ShellProc from
// inside a real hook call, so that its CallNextHookEx reaches the first.
struct Pending {
    bool armed = false;
    int code = 0;
    WPARAM wParam = 0;
};
Pending g_pending;

bool g_inShellProc = false;

LRESULT CALLBACK nextHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (!g_inShellProc)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    g_chainedCodes.push_back(code);
    return 0;
}

LRESULT CALLBACK driverHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (!g_pending.armed)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    g_pending.armed = false;
    g_inShellProc = true;
    g_shellProc(g_pending.code, g_pending.wParam, 0);
    g_inShellProc = false;
    return 0;
}

class ShellProcAbuse : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        registerToolClass(GetModuleHandleA(nullptr), sizeof(LONG_PTR));
    }
    void SetUp() override
    {
        module = LoadLibraryA("Orvane.dll");
        ASSERT_NE(module, nullptr);
        g_shellProc = reinterpret_cast<HOOKPROC>(GetProcAddress(module, "ShellProc"));
        ASSERT_NE(g_shellProc, nullptr);
        g_told.clear();
        g_chainedCodes.clear();
        g_behaviour = ToolBehaviour::Listen;
        next = SetWindowsHookExA(WH_SHELL, nextHook, nullptr, GetCurrentThreadId());
        driver = SetWindowsHookExA(WH_SHELL, driverHook, nullptr, GetCurrentThreadId());
        ASSERT_TRUE(next && driver);
    }
    void TearDown() override
    {
        UnhookWindowsHookEx(driver);
        UnhookWindowsHookEx(next);
        FreeLibrary(module);
    }

    // ShellProc(code, wParam) run inside the thread's hook chain.
    void callInChain(int code, WPARAM wParam)
    {
        g_pending = {true, code, wParam};
        HWND trigger = CreateWindowExA(0, "STATIC", "trigger", WS_OVERLAPPED, 0, 0, 5, 5, nullptr, nullptr, nullptr,
                                       nullptr);
        DestroyWindow(trigger);
        ASSERT_FALSE(g_pending.armed) << "the driver hook was never called";
        g_told.erase(std::remove_if(g_told.begin(), g_told.end(), [&](const Told& t) { return t.window == trigger; }),
                     g_told.end());
    }

    HMODULE module = nullptr;
    HHOOK next = nullptr;
    HHOOK driver = nullptr;
};

// A window owned by a thread that has ended: the handle is dead.
HWND windowOfAnEndedThread()
{
    HWND window = nullptr;
    std::thread([&] { window = testing_support::createTopLevelWindow("elsewhere"); }).join();
    return window;
}

TEST_F(ShellProcAbuse, EveryCodeWithEveryKindOfHandleReportsOnlyTheThreeEventsAndChains)
{
    HWND tool = createTool();
    ASSERT_NE(tool, nullptr);
    SetWindowLongPtrA(tool, 0, reinterpret_cast<LONG_PTR>(driver));
    HWND live = testing_support::createTopLevelWindow("live");
    HWND dead = testing_support::createTopLevelWindow("dead");
    DestroyWindow(dead);
    HWND child = CreateWindowExA(0, "STATIC", "child", WS_CHILD, 0, 0, 5, 5, live, nullptr, nullptr, nullptr);
    const struct {
        const char* name;
        HWND handle;
        bool isWindow;
    } handles[] = {{"live", live, true},
                   {"child", child, true},
                   {"null", nullptr, false},
                   {"dead", dead, false},
                   {"of an ended thread", windowOfAnEndedThread(), false},
                   {"made up", reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0xDEADBEEF)), false},
                   {"all ones", reinterpret_cast<HWND>(~ULONG_PTR(0)), false}};
    const int codes[] = {INT_MIN, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 0x8004, INT_MAX};
    SetForegroundWindow(live);
    testing_support::pumpMessages(20);
    const HWND foreground = GetForegroundWindow();
    for (const auto& h : handles) {
        for (int code : codes) {
            SCOPED_TRACE(std::string(h.name) + " code " + std::to_string(code));
            g_told.clear();
            g_chainedCodes.clear();
            callInChain(code, reinterpret_cast<WPARAM>(h.handle));
            EXPECT_EQ(g_chainedCodes, std::vector<int>{code}) << "the next hook gets every code once";
            const bool reported = code == HSHELL_WINDOWCREATED || code == HSHELL_WINDOWDESTROYED ||
                                  code == HSHELL_WINDOWACTIVATED;
            ASSERT_EQ(g_told.size(), reported ? 1u : 0u);
            if (!reported)
                continue;
            const LPARAM event = code == HSHELL_WINDOWCREATED     ? OrvaneWindowCreated
                                 : code == HSHELL_WINDOWDESTROYED ? OrvaneWindowDestroyed
                                                                  : OrvaneWindowActivated;
            EXPECT_EQ(g_told[0].event, event);
            const HWND expected = code == HSHELL_WINDOWACTIVATED && !h.isWindow ? foreground : h.handle;
            EXPECT_EQ(g_told[0].window, expected);
        }
    }
    DestroyWindow(live);
    DestroyWindow(tool);
}

TEST_F(ShellProcAbuse, ToolsThatMisbehaveNeitherBreakTheHookNorTheChain)
{
    // The same class name registered by another module, without extra bytes.
    HMODULE other = LoadLibraryA("TavroFixtures.dll");
    registerToolClass(other, 0);
    const struct {
        const char* name;
        ToolBehaviour behaviour;
        LONG_PTR slot;
        bool withoutExtraBytes;
        size_t told;
    } cases[] = {
        {"empty slot", ToolBehaviour::Listen, 0, false, 1},
        {"rubbish in the slot", ToolBehaviour::Listen, static_cast<LONG_PTR>(0x5EED5EED), false, 1},
        {"no extra bytes at all", ToolBehaviour::Listen, 0, true, 1},
        {"destroys itself when told", ToolBehaviour::DestroySelf, 0, false, 1},
        {"calls the hook again when told", ToolBehaviour::ReEnter, 0, false, 4},
    };
    HWND subject = testing_support::createTopLevelWindow("subject");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_behaviour = c.behaviour;
        g_depth = 0;
        HWND tool = createTool(c.withoutExtraBytes ? other : GetModuleHandleA(nullptr));
        ASSERT_NE(tool, nullptr);
        if (!c.withoutExtraBytes)
            SetWindowLongPtrA(tool, 0, c.slot);
        g_told.clear();
        g_chainedCodes.clear();
        callInChain(HSHELL_WINDOWCREATED, reinterpret_cast<WPARAM>(subject));
        EXPECT_EQ(g_told.size(), c.told);
        // Each call of the hook chains once, the outermost last; a tool
        // destroying itself adds the real event of its own destruction.
        ASSERT_FALSE(g_chainedCodes.empty());
        EXPECT_EQ(g_chainedCodes.back(), HSHELL_WINDOWCREATED);
        EXPECT_EQ(std::count(g_chainedCodes.begin(), g_chainedCodes.end(), HSHELL_WINDOWCREATED),
                  static_cast<std::ptrdiff_t>(c.told));
        if (IsWindow(tool))
            DestroyWindow(tool);
    }
    DestroyWindow(subject);
    UnregisterClassA(kOrvaneWindowClass, other);
    FreeLibrary(other);
}

TEST_F(ShellProcAbuse, ToolOnAnotherThreadIsToldBeforeTheHookReturns)
{
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND tool = nullptr;
    DWORD toolThread = 0;
    std::thread owner([&] {
        tool = createTool();
        toolThread = GetCurrentThreadId();
        SetEvent(ready);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
        DestroyWindow(tool);
    });
    WaitForSingleObject(ready, 5000);
    ASSERT_NE(tool, nullptr);
    HWND subject = testing_support::createTopLevelWindow("subject");
    g_told.clear();
    callInChain(HSHELL_WINDOWDESTROYED, reinterpret_cast<WPARAM>(subject));
    const std::vector<Told> told = g_told;  // written by the tool's thread before SendMessage returned
    PostThreadMessageA(toolThread, WM_QUIT, 0, 0);
    owner.join();
    CloseHandle(ready);
    DestroyWindow(subject);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].window, subject);
    EXPECT_EQ(told[0].event, OrvaneWindowDestroyed);
    EXPECT_EQ(g_chainedCodes, std::vector<int>{HSHELL_WINDOWDESTROYED});
}

}  // namespace
