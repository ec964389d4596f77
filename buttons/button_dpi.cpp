// A button that moves to a screen of another DPI: its sizes are taken at the
// new DPI from the next paint on, and its icons are loaded again at their
// size for that DPI.
#include "button_registry.h"

void HookedButton::applyDpi(int newDpi)
{
    if (newDpi <= 0 || newDpi == windowDpi)
        return;
    windowDpi = newDpi;
    if (imageList)
        loadIcons(iconModule, iconId, secondIconId);
    redraw();
}
