#include "test_support.h"

namespace testing_support {

void pumpMessages(DWORD milliseconds)
{
    const DWORD end = GetTickCount() + milliseconds;
    MSG msg;
    for (;;) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (static_cast<LONG>(end - GetTickCount()) <= 0)
            break;
        Sleep(5);
    }
}

HWND createTopLevelWindow(const char* title, WNDPROC proc, DWORD style)
{
    static const char* const kClass = "TavroTestTopLevel";
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClass;
        RegisterClassA(&wc);
        registered = true;
    }
    HWND window = CreateWindowExA(0, kClass, title, style, 50, 50, 300, 200, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (window && proc)
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    return window;
}

std::string className(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool isIcon(HICON icon)
{
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

}  // namespace testing_support
