// A second process for the hook tests: makes one top-level window and
// destroys it, and exits with the milliseconds that took, so a test can see
// how long the shell hook held up a program that is not its own.
#include <windows.h>

int main()
{
    const DWORD start = GetTickCount();
    HWND window = CreateWindowExA(0, "STATIC", "made elsewhere", WS_OVERLAPPED, 0, 0, 40, 40, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (!window)
        return -1;
    DestroyWindow(window);
    return static_cast<int>(GetTickCount() - start);
}
