// The hosts' side of the fault programs: painting buttons and opening
// popups as the system asks for them, with the drawing done into a DIB.
#pragma once

#include "dib_surface.h"
#include "menu_opening.h"

#include <windows.h>

#include <functional>
#include <vector>

namespace faults {

constexpr COLORREF kBackground = RGB(1, 2, 3);

// Buttons 10, 11, ... of dialog painted through the dialog's WM_DRAWITEM,
// the second one focused; the pixels of all of them.
std::vector<COLORREF> paintButtons(HWND dialog, testing_support::DibSurface& surface, int buttons);

// One opening of popup as the system drives it: WM_INITMENUPOPUP, whileOpen,
// a measure and a paint of every item the library drew (the third
// selected), then the close signal. Returns the pixels of every painted item.
std::vector<COLORREF> openPaintAndClose(HWND window, HMENU popup, testing_support::DibSurface& surface,
                                        const std::function<void()>& whileOpen);

}  // namespace faults
