// The windows the benchmark plays host with: dialogs made from an in-memory
// template, push buttons on them, and a message pump.
#pragma once

#include <windows.h>

#include "gdi_owners.h"

namespace bench {

// A modeless dialog with no controls, placed at (x, y) with the given client
// size in pixels; shown when visible is true.
HWND createDialog(int x, int y, int width, int height, bool visible);

// A push button of the dialog, in the font given (null keeps the default).
HWND addPushButton(HWND dialog, int id, const char* text, int x, int y, int width, int height, HFONT font);

// A memory DC and a bitmap of the given size, both compatible with the
// screen; the bitmap is not selected.
struct OffscreenSurface {
    owners::MemoryDc dc;
    owners::Bitmap bitmap;
};
OffscreenSurface screenCompatibleSurface(int width, int height);

// Dispatches everything queued for this thread.
void pumpMessages();

}  // namespace bench
