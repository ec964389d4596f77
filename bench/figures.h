// What every figure needs: the resource module, the run's mode and the
// report it adds to, plus the resource identifiers the module carries.
#pragma once

#include "report.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct Context {
    HINSTANCE module;
    bool fast;
    Report& report;
    std::string only;  // one part of the run ("paint", "routing", "menus", "memory"), empty for all

    bool wants(const char* part) const { return only.empty() || only == part; }

    Repetitions reps(int warmup, int samples) const
    {
        return fast ? Repetitions{1, 3} : Repetitions{warmup, samples};
    }
    void problem(const std::string& what) { report.problems.push_back(what); }
};

// Resources of the module made at start.
constexpr unsigned kButtonIcon = 1;
constexpr unsigned kPopupToolbar = 100;       // kPopupItemsMax images, commands from kPopupFirstCommand
constexpr unsigned kLoadToolbar = 200;        // 40 images
constexpr unsigned kReloadToolbarFirst = 201;  // kReloadToolbars toolbars of 40 images
constexpr int kPopupItemsMax = 200;
constexpr uint16_t kPopupFirstCommand = 1000;
constexpr uint16_t kLoadFirstCommand = 3000;
constexpr uint16_t kReloadFirstCommand = 4000;
constexpr uint16_t kImagelessFirstCommand = 6000;  // bound to no image
constexpr int kToolbarButtons = 40;
constexpr int kReloadToolbars = 5;
constexpr unsigned kMemoryToolbarFirst = 300;  // kMemoryToolbars toolbars of kPopupItemsMax images
constexpr uint16_t kMemoryFirstCommand = 10000;
constexpr int kMemoryToolbars = 10;

// Command identifiers first, first + 1, ...
std::vector<uint16_t> commandRange(uint16_t first, int count);

void buttonFigures(Context& context);
void menuFigures(Context& context);
void profileMenuItem(Context& context);
void memoryFigures(Context& context);
// Menu owners for the figures: a hidden window whose popups close as soon
// as they are idle, a popup of items "Command n\tCtrl+n" with commands
// first, first + 1, ... in columns of 25, and one opening and close of a
// popup (the time it took, in seconds).
HWND createOwner(int x);
HMENU createPopup(int items, uint16_t firstCommand);
double openAndClose(HWND owner, HMENU menu);
// Private bytes of this process (committed private pages where the counter reads 0).
size_t privateBytes();
int iconAndListDifference(HIMAGELIST images, int index);

}  // namespace bench
