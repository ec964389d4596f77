// The window-inspection tool: installs Orvane's shell hook and prints one line
// per top-level window event. With --demo it creates, activates and destroys
// a few windows of its own and exits; with --run PROGRAM [ARGS] it watches that
// program's windows until the program ends and exits with its exit code;
// otherwise it runs until closed.
#include "orvane.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* eventName(LPARAM event)
{
    switch (event) {
    case OrvaneWindowCreated: return "created";
    case OrvaneWindowDestroyed: return "destroyed";
    case OrvaneWindowActivated: return "activated";
    default: return "unknown";
    }
}

void printEvent(HWND window, LPARAM event)
{
    char className[256] = "";
    char title[256] = "";
    if (window) {
        GetClassNameA(window, className, sizeof className);
        GetWindowTextA(window, title, sizeof title);
    }
    std::printf("%-9s %p  %-20s \"%s\"\n", eventName(event), static_cast<void*>(window), className, title);
    std::fflush(stdout);
}

LRESULT CALLBACK toolWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kOrvaneEventMessage:
        printEvent(reinterpret_cast<HWND>(wParam), lParam);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void pumpMessages(DWORD milliseconds)
{
    const DWORD end = GetTickCount() + milliseconds;
    MSG msg;
    do {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

HWND createTool(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = toolWindowProc;
    wc.hInstance = instance;
    wc.cbWndExtra = sizeof(LONG_PTR);  // slot 0: the hook handle ShellProc chains with
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kOrvaneWindowClass;
    if (!RegisterClassA(&wc))
        return nullptr;
    return CreateWindowExA(0, kOrvaneWindowClass, kOrvaneWindowTitle, WS_OVERLAPPEDWINDOW,
                           40, 40, 360, 200, nullptr, nullptr, instance, nullptr);
}

void runDemo(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "OrvaneDemoWindow";
    RegisterClassA(&wc);

    HWND windows[3] = {};
    for (int i = 0; i < 3; ++i) {
        const std::string title = "Demo window " + std::to_string(i + 1);
        windows[i] = CreateWindowExA(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW,
                                     100 + 40 * i, 100 + 40 * i, 240, 120, nullptr, nullptr, instance, nullptr);
        ShowWindow(windows[i], SW_SHOW);
        pumpMessages(100);
    }
    SetForegroundWindow(windows[0]);
    pumpMessages(100);
    for (HWND window : windows) {
        DestroyWindow(window);
        pumpMessages(100);
    }
}

// Starts the command line and dispatches events until the process ends.
int runProgram(const std::string& commandLine)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string mutableLine = commandLine;
    if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "inspector: cannot start %s (%lu)\n", commandLine.c_str(), GetLastError());
        return 1;
    }
    CloseHandle(process.hThread);
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, INFINITE, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (woken == WAIT_OBJECT_0)
            break;
    }
    pumpMessages(50);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}

std::string joinArguments(int argc, char** argv, int first)
{
    std::string line;
    for (int i = first; i < argc; ++i) {
        if (!line.empty())
            line += ' ';
        const bool quote = std::strchr(argv[i], ' ') != nullptr;
        line += quote ? "\"" + std::string(argv[i]) + "\"" : std::string(argv[i]);
    }
    return line;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool demo = argc > 1 && std::strcmp(argv[1], "--demo") == 0;
    const bool run = argc > 2 && std::strcmp(argv[1], "--run") == 0;
    HINSTANCE instance = GetModuleHandleA(nullptr);

    HMODULE hookModule = LoadLibraryA("Orvane.dll");
    if (!hookModule) {
        std::fprintf(stderr, "inspector: cannot load Orvane.dll\n");
        return 1;
    }
    auto shellProc = reinterpret_cast<HOOKPROC>(GetProcAddress(hookModule, "ShellProc"));
    HWND tool = createTool(instance);
    if (!shellProc || !tool) {
        std::fprintf(stderr, "inspector: cannot set up the hook\n");
        return 1;
    }
    HHOOK hook = SetWindowsHookExA(WH_SHELL, shellProc, hookModule, 0);
    if (!hook) {
        std::fprintf(stderr, "inspector: SetWindowsHookEx failed (%lu)\n", GetLastError());
        return 1;
    }
    SetWindowLongPtrA(tool, 0, reinterpret_cast<LONG_PTR>(hook));
    std::printf("Orvane inspector: watching top-level windows\n");
    std::fflush(stdout);

    int result = 0;
    if (demo) {
        runDemo(instance);
    } else if (run) {
        result = runProgram(joinArguments(argc, argv, 2));
    } else {
        ShowWindow(tool, SW_SHOW);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    UnhookWindowsHookEx(hook);
    if (IsWindow(tool))
        DestroyWindow(tool);
    FreeLibrary(hookModule);
    return result;
}
