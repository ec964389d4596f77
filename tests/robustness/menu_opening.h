// A popup opened as the system drives it, for the programs that measure the
// menu library over many openings (the soak, the fault sweeps): a host
// window with its own owner-drawn item, and one opening painted into a DIB.
#pragma once

#include "dib_surface.h"

#include <windows.h>

#include <functional>
#include <vector>

namespace robust {

// Item data of the host's own owner-drawn item.
constexpr ULONG_PTR kHostItemData = 0x5A5A0001;

// Fills popup with one item of each kind the library meets (a command with
// a mnemonic and an accelerator, a separator, default, greyed, a 600-letter
// text, the host's own owner-drawn item, a sub-menu) and sub with one item.
void appendEveryKindOfItem(HMENU popup, HMENU sub);

// A menu host's window procedure: it measures and draws its own item, and
// counts the colour changes it is told of.
LRESULT CALLBACK menuHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int menuHostColourChanges();

struct MenuOpening {
    COLORREF background = RGB(1, 2, 3);
    // Runs between WM_INITMENUPOPUP and the first measure.
    std::function<void()> whileOpen = [] {};
    // Whether the owner-drawn item at this position, with this item data, is
    // painted after it is measured.
    std::function<bool(int position, ULONG_PTR data)> paints = [](int, ULONG_PTR) { return true; };
    // The pixels of each painted item.
    std::function<void(int position, const std::vector<COLORREF>& pixels)> painted = [](int, const std::vector<COLORREF>&) {};
};

// WM_INITMENUPOPUP, then a measure of every owner-drawn item and a paint of
// those `paints` chooses (the item at position 3 selected), each into the
// surface filled with the background first, then the close signal.
void openMenuAsTheSystemDoes(HWND window, HMENU popup, testing_support::DibSurface& surface,
                             const MenuOpening& opening);

}  // namespace robust
