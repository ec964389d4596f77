// The shell hook procedure. It keeps no state: the system may call it in any
// process it maps the DLL into, so everything is looked up anew on each call.
#include "orvane.h"

namespace {

HWND findTool()
{
    return FindWindowA(kOrvaneWindowClass, kOrvaneWindowTitle);
}

// Long enough for a busy tool to answer, short enough that a window's
// creation in some application is never held up for long by the tool.
constexpr UINT kToolAnswerTimeoutMs = 1000;

void report(HWND tool, WPARAM window, OrvaneEvent event)
{
    // Sent, not posted: the window must still exist while the tool looks at
    // it. But the hook runs inside every application on the desktop, so a
    // tool that stops handling messages (stopped in a debugger, say) must not
    // stop them: the wait is bounded, and a tool the system already takes
    // for hung is not waited for at all. An event that times out still
    // reaches the tool when it pumps again.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(tool, kOrvaneEventMessage, window, event, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                        kToolAnswerTimeoutMs, &ignored);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ShellProc(int code, WPARAM wParam, LPARAM lParam)
{
    HWND tool = findTool();
    if (!tool)
        return 0;
    HHOOK hook = reinterpret_cast<HHOOK>(GetWindowLongPtrA(tool, 0));

    switch (code) {
    case HSHELL_WINDOWCREATED:
        report(tool, wParam, OrvaneWindowCreated);
        break;
    case HSHELL_WINDOWDESTROYED:
        report(tool, wParam, OrvaneWindowDestroyed);
        break;
    case HSHELL_WINDOWACTIVATED:
        // The window may be gone by the time the shell tells us; the window
        // that is in front now is the useful answer then.
        if (!IsWindow(reinterpret_cast<HWND>(wParam)))
            wParam = reinterpret_cast<WPARAM>(GetForegroundWindow());
        report(tool, wParam, OrvaneWindowActivated);
        break;
    default:
        break;
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
