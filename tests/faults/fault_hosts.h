// The hosts' side of the fault programs: painting buttons and opening
// popups as the system asks for them, with the drawing done into a DIB.
#pragma once

#include "dib_surface.h"

#include <windows.h>

#include <functional>
#include <vector>

namespace faults {

constexpr COLORREF kBackground = RGB(1, 2, 3);
// Item data of the host's own owner-drawn item.
constexpr ULONG_PTR kHostData = 0x5A5A0001;

// Buttons 10, 11, ... of dialog painted through the dialog's WM_DRAWITEM,
// the second one focused; the pixels of all of them.
std::vector<COLORREF> paintButtons(HWND dialog, testing_support::DibSurface& surface, int buttons);

// A menu host's window procedure: it measures and draws its own item.
LRESULT CALLBACK menuHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One opening of popup as the system drives it: WM_INITMENUPOPUP, whileOpen,
// a measure and a paint of every item the library drew (the third
// selected), then the close signal. Returns the pixels of every painted item.
std::vector<COLORREF> openPaintAndClose(HWND window, HMENU popup, testing_support::DibSurface& surface,
                                        const std::function<void()>& whileOpen);

}  // namespace faults
