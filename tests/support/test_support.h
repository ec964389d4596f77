// Helpers every test program shares: message pumping and small window
// fixtures that talk to the real window manager.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// Dispatches every queued message, repeatedly, for about the given time.
void pumpMessages(DWORD milliseconds = 0);

// Registers (once) and creates a plain top-level window with DefWindowProcA,
// or with the given procedure.
HWND createTopLevelWindow(const char* title, WNDPROC proc = nullptr, DWORD style = WS_OVERLAPPEDWINDOW);

// True while the handle is a live icon.
bool isIcon(HICON icon);

// The class name of a window, for assertions.
std::string className(HWND window);

}  // namespace testing_support
