// Cost of one popup opening and closing, with and without the library: the
// popup closes as soon as the menu loop first goes idle, which is after the
// system has measured and painted it. Prints the medians and their ratio.
#include "menu_state.h"
#include "nellolib.h"
#include "tavro_fixtures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int g_drawn = 0;
int g_idle = 0;

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU) {
        ++g_idle;
        EndMenu();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Counts item paints as they are sent, the library's included.
LRESULT CALLBACK countDraws(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && reinterpret_cast<const CWPSTRUCT*>(lParam)->message == WM_DRAWITEM)
        ++g_drawn;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

double openAndClose(HWND window, HMENU popup)
{
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN, 10, 10, 0, window, nullptr);
    QueryPerformanceCounter(&end);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    return 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 101;
    InitMenuLibrary();
    HMODULE fixtures = LoadLibraryA(TAVRO_FIXTURES_DLL);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = hostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PopupBenchmarkHost";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    HMENU popup = CreatePopupMenu();
    for (int i = 0; i < 100; ++i) {
        const std::string text = "Command " + std::to_string(i) + "\tCtrl+" + std::to_string(i);
        AppendMenuA(popup, MF_STRING, 1000 + i, text.c_str());
        Nello_AddIcon(fixtures, i % 2 ? FIXTURE_ICON_PLAIN : FIXTURE_ICON_COLOURS, 1000 + i);
    }
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, countDraws, nullptr, GetCurrentThreadId());

    std::vector<double> without, with;
    int drawnWithout = 0, drawnWith = 0;
    openAndClose(window, popup);  // warm-up of both paths
    Nello_Install(window);
    openAndClose(window, popup);
    Nello_UnInstall(window);
    for (int run = 0; run < runs; ++run) {
        g_drawn = 0;
        without.push_back(openAndClose(window, popup));
        drawnWithout += g_drawn;
        Nello_Install(window);
        g_drawn = 0;
        with.push_back(openAndClose(window, popup));
        drawnWith += g_drawn;
        Nello_UnInstall(window);
    }
    UnhookWindowsHookEx(hook);
    const double a = median(without), b = median(with);
    std::printf("runs %d (each closed at the first idle: %d of %d)\n", runs, g_idle, 2 * runs + 2);
    std::printf("without library: median %.3f ms, %.1f item paints per opening\n", a, double(drawnWithout) / runs);
    std::printf("with library:    median %.3f ms, %.1f item paints per opening\n", b, double(drawnWith) / runs);
    std::printf("ratio with/without: %.2f\n", b / a);
    DestroyMenu(popup);
    DestroyWindow(window);
    ShutdownMenuLibrary();
    FreeLibrary(fixtures);
    return 0;
}
