// ShellProc installed as a real global shell hook, with the inspection tool
// on a thread of its own that is slow to answer or stops pumping messages
// altogether, as a tool stopped in a debugger does. Windows made meanwhile on
// another thread and in another process must not wait for it for long.
// The figures are printed, so a run shows how long a program was held up.
#include "orvane.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// Wine and Windows take a thread for hung once it has not looked at its
// queue for five seconds.
constexpr DWORD kHungAfterMs = 5000;
// A tool that stops pumping stays away this long at most; a hook that waits
// for it until it answers holds each window up for all of it.
constexpr DWORD kLongestHangMs = 20000;
// Each event waits about a second at most; the rest is room for a loaded
// machine, where making a window alone can take most of a second.
constexpr DWORD kOneEventLimitMs = 2500;
// Windows made and destroyed while the tool is hung: with a wait of a second
// per event they would take ten seconds, without any wait a fraction of that.
constexpr int kWindowsWhileHung = 5;
constexpr DWORD kNoWaitLimitMs = 3000;
// The window maker's four events (its IME window and its own window, each
// made and destroyed) would take four seconds with a wait each.
constexpr DWORD kNoWaitElsewhereLimitMs = 3000;

struct Told {
    HWND window;
    LPARAM event;
    std::string title;  // of a window being created, read while it is made
};

// The inspection tool: its main window on a thread of its own, answering
// each event after answerDelayMs, until it is told to stop pumping.
class ToolThread {
public:
    explicit ToolThread(DWORD answerDelayMs = 0) : answerDelayMs_(answerDelayMs)
    {
        ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        hangRequest_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        hanging_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        resumeRequest_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        thread_ = std::thread([this] { run(); });
        WaitForSingleObject(ready_, 10000);
    }

    ~ToolThread()
    {
        resume();
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        thread_.join();
        CloseHandle(resumeRequest_);
        CloseHandle(ready_);
        CloseHandle(hangRequest_);
        CloseHandle(hanging_);
    }

    HWND window() const { return window_; }

    // Makes the tool stop pumping until resume(); returns once it has looked
    // at its queue for the last time, which is when the hang begins.
    DWORD hang()
    {
        SetEvent(hangRequest_);
        WaitForSingleObject(hanging_, 10000);
        return hangStart_;
    }
    void resume() { SetEvent(resumeRequest_); }

    bool wasTold(HWND window, LPARAM event) const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const Told& t : told_)
            if (t.window == window && t.event == event)
                return true;
        return false;
    }

    bool wasToldOfCreation(const std::string& title) const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const Told& t : told_)
            if (t.event == OrvaneWindowCreated && t.title == title)
                return true;
        return false;
    }

private:
    static LRESULT CALLBACK toolProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<ToolThread*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message != kOrvaneEventMessage || !self)
            return DefWindowProcA(window, message, wParam, lParam);
        if (self->answerDelayMs_)
            Sleep(self->answerDelayMs_);
        char title[64] = "";
        if (lParam == OrvaneWindowCreated)
            GetWindowTextA(reinterpret_cast<HWND>(wParam), title, sizeof title);
        std::lock_guard<std::mutex> lock(self->mutex_);
        self->told_.push_back({reinterpret_cast<HWND>(wParam), lParam, title});
        return 0;
    }

    static void registerClass()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = toolProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.cbWndExtra = sizeof(LONG_PTR);
        wc.lpszClassName = kOrvaneWindowClass;
        RegisterClassA(&wc);
    }

    void run()
    {
        registerClass();
        threadId_ = GetCurrentThreadId();
        window_ = CreateWindowExA(0, kOrvaneWindowClass, kOrvaneWindowTitle, WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetEvent(ready_);
        for (;;) {
            const DWORD woken = MsgWaitForMultipleObjects(1, &hangRequest_, FALSE, INFINITE, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    DestroyWindow(window_);
                    return;
                }
                DispatchMessageA(&msg);
            }
            if (woken == WAIT_OBJECT_0) {
                hangStart_ = GetTickCount();
                SetEvent(hanging_);
                // Blocked on something that is not its queue, as in a debugger.
                WaitForSingleObject(resumeRequest_, kLongestHangMs);
            }
        }
    }

    const DWORD answerDelayMs_;
    HANDLE ready_ = nullptr;
    HANDLE hangRequest_ = nullptr;
    HANDLE hanging_ = nullptr;
    HANDLE resumeRequest_ = nullptr;
    std::atomic<DWORD> hangStart_{0};
    DWORD threadId_ = 0;
    HWND window_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<Told> told_;
    std::thread thread_;
};

// Orvane.dll installed as the tool installs it: a global shell hook whose
// handle sits in the tool window's first slot.
class GlobalShellHook {
public:
    explicit GlobalShellHook(HWND tool)
    {
        module_ = LoadLibraryA("Orvane.dll");
        auto proc = reinterpret_cast<HOOKPROC>(GetProcAddress(module_, "ShellProc"));
        hook_ = proc ? SetWindowsHookExA(WH_SHELL, proc, module_, 0) : nullptr;
        SetWindowLongPtrA(tool, 0, reinterpret_cast<LONG_PTR>(hook_));
    }
    ~GlobalShellHook()
    {
        if (hook_)
            UnhookWindowsHookEx(hook_);
        FreeLibrary(module_);
    }
    bool installed() const { return hook_ != nullptr; }

private:
    HMODULE module_ = nullptr;
    HHOOK hook_ = nullptr;
};

struct Made {
    HWND window;
    DWORD createMs;
    DWORD destroyMs;
};

// A top-level window made and destroyed on this thread, each step timed.
Made makeAndDestroyWindow(const char* title)
{
    DWORD start = GetTickCount();
    HWND window = CreateWindowExA(0, "STATIC", title, WS_OVERLAPPED, 0, 0, 40, 40, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    const DWORD createMs = GetTickCount() - start;
    start = GetTickCount();
    DestroyWindow(window);
    return {window, createMs, GetTickCount() - start};
}

// Runs the window maker in a process of its own; its exit status is the
// milliseconds that making and destroying its window took there, or -1.
long windowMakerMilliseconds()
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    char commandLine[] = "hook_window_maker.exe";
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    DWORD status = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 2 * kLongestHangMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    return static_cast<LONG>(status);
}

void printFigure(const char* what, long ms)
{
    std::printf("hook: %s: %ld ms\n", what, ms);
    std::fflush(stdout);
}

// Wine gives a thread a top-level IME window with its first window and takes
// it away with its last, each with its own shell events; a window kept for
// the whole test makes every measured window exactly one event each way.
class AnchorWindow {
public:
    AnchorWindow()
        : window_(CreateWindowExA(0, "STATIC", "anchor", WS_OVERLAPPED, 0, 0, 40, 40, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr))
    {
    }
    ~AnchorWindow() { DestroyWindow(window_); }

private:
    HWND window_;
};

TEST(SlowTool, ASlowButAnsweringToolIsToldBeforeTheWindowIsMade)
{
    const DWORD answerMs = 300;
    ToolThread tool(answerMs);
    ASSERT_NE(tool.window(), nullptr);
    AnchorWindow anchor;
    GlobalShellHook hook(tool.window());
    ASSERT_TRUE(hook.installed());

    const DWORD start = GetTickCount();
    HWND window = CreateWindowExA(0, "STATIC", "watched", WS_OVERLAPPED, 0, 0, 40, 40, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    const DWORD createMs = GetTickCount() - start;
    const bool toldBeforeReturn = tool.wasTold(window, OrvaneWindowCreated);
    DestroyWindow(window);
    printFigure("window made while the tool takes 300 ms to answer", createMs);

    EXPECT_TRUE(toldBeforeReturn) << "a tool that answers is told while the window is being made";
    EXPECT_GE(createMs, answerMs - 20) << "the hook waits for a tool that answers within the bound";
}

TEST(SlowTool, AToolThatStopsPumpingHoldsUpOtherThreadsAndProcessesOnlyBriefly)
{
    ToolThread tool;
    ASSERT_NE(tool.window(), nullptr);
    AnchorWindow anchor;
    GlobalShellHook hook(tool.window());
    ASSERT_TRUE(hook.installed());

    const Made answered = makeAndDestroyWindow("while the tool answers");
    EXPECT_TRUE(tool.wasTold(answered.window, OrvaneWindowCreated));
    EXPECT_TRUE(tool.wasTold(answered.window, OrvaneWindowDestroyed));
    printFigure("window made and destroyed while the tool answers", answered.createMs + answered.destroyMs);
    const long answeredElsewhere = windowMakerMilliseconds();
    printFigure("window made and destroyed by another process while the tool answers", answeredElsewhere);
    ASSERT_GE(answeredElsewhere, 0) << "the window maker did not run";
    ASSERT_TRUE(tool.wasToldOfCreation("made elsewhere")) << "the hook does not run in the other process";

    // Not answering, not yet taken for hung: each event waits, boundedly.
    const DWORD hangStart = tool.hang();
    const Made unanswered = makeAndDestroyWindow("while the tool does not answer");
    printFigure("window made while the tool does not answer", unanswered.createMs);
    printFigure("window destroyed while the tool does not answer", unanswered.destroyMs);
    EXPECT_LT(unanswered.createMs, kOneEventLimitMs);
    EXPECT_LT(unanswered.destroyMs, kOneEventLimitMs);
    // Its IME window and its own window, each made and destroyed.
    const long elsewhere = windowMakerMilliseconds();
    printFigure("window made and destroyed by another process while the tool does not answer", elsewhere);
    ASSERT_GE(elsewhere, 0) << "the window maker did not run";
    EXPECT_LT(elsewhere, static_cast<long>(4 * kOneEventLimitMs));

    // Taken for hung now: no event waits for it any more.
    const DWORD sinceHang = GetTickCount() - hangStart;
    if (sinceHang < kHungAfterMs + 500)
        Sleep(kHungAfterMs + 500 - sinceHang);
    DWORD hungMs = 0;
    for (int i = 0; i < kWindowsWhileHung; ++i) {
        const Made hung = makeAndDestroyWindow("while the tool is hung");
        hungMs += hung.createMs + hung.destroyMs;
    }
    printFigure((std::to_string(kWindowsWhileHung) + " windows made and destroyed while the tool is hung").c_str(),
                hungMs);
    EXPECT_LT(hungMs, kNoWaitLimitMs);
    const long elsewhereHung = windowMakerMilliseconds();
    printFigure("window made and destroyed by another process while the tool is hung", elsewhereHung);
    ASSERT_GE(elsewhereHung, 0) << "the window maker did not run";
    EXPECT_LT(elsewhereHung, static_cast<long>(kNoWaitElsewhereLimitMs));

    // Back at its queue, the tool is told at once again.
    tool.resume();
    SendMessageA(tool.window(), WM_NULL, 0, 0);
    const Made again = makeAndDestroyWindow("after the tool came back");
    EXPECT_TRUE(tool.wasTold(again.window, OrvaneWindowCreated));
    EXPECT_TRUE(tool.wasTold(again.window, OrvaneWindowDestroyed));
}

}  // namespace
