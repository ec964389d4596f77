// The windows the benchmark plays host with: dialogs made from an in-memory
// template, push buttons on them, and a message pump.
#pragma once

#include <windows.h>

namespace bench {

// A modeless dialog with no controls, placed at (x, y) with the given client
// size in pixels; shown when visible is true.
HWND createDialog(int x, int y, int width, int height, bool visible);

// A push button of the dialog, in the font given (null keeps the default).
HWND addPushButton(HWND dialog, int id, const char* text, int x, int y, int width, int height, HFONT font);

// Dispatches everything queued for this thread.
void pumpMessages();

}  // namespace bench
