// The nine exports: each looks its dialog or button up, runs the record's
// operation and reports the outcome as a bool. No exception gets out.
#include "tavrolib.h"
#include "button_registry.h"

#include <memory>

namespace {

// Runs an operation on an attached button; false when it is not attached or
// anything throws.
template <class Operation>
bool withButton(HWND dialog, unsigned int controlId, Operation operation) noexcept
{
    try {
        HookedButton* button = findButton(dialog, controlId);
        return button && operation(*button);
    } catch (...) {
        return false;
    }
}

bool attachButton(HookedDialog& dialog, unsigned int controlId)
{
    if (dialog.findButton(controlId))
        return false;
    auto button = std::make_unique<HookedButton>();
    button->attach(dialog.hwnd, controlId);
    // Restoring takes the record out of the window index again.
    if (!indexButtonWindow(button.get()) || dialog.buttons.add(button.get()) < 0) {
        button->restore();
        return false;
    }
    HookedButton* attached = button.release();
    // While the record was being built the button's repaint found no record
    // and was only validated; paint it now that the library can.
    attached->redraw();
    return true;
}

bool detachButton(HookedDialog& dialog, unsigned int controlId)
{
    for (int i = 0; i < dialog.buttons.size(); ++i) {
        HookedButton* button = dialog.buttons.get<HookedButton>(i);
        if (button->controlId == controlId) {
            dialog.buttons.removeAt(i);
            button->restore();
            delete button;
            return true;
        }
    }
    return false;
}

}  // namespace

bool Tavro_Install(HWND dialog)
{
    try {
        if (findDialog(dialog))
            return false;
        auto record = std::make_unique<HookedDialog>();
        record->install(dialog);
        if (g_dialogs.add(record.get()) < 0) {
            record->uninstall();
            return false;
        }
        record.release();
        return true;
    } catch (...) {
        return false;
    }
}

bool Tavro_UnInstall(HWND dialog)
{
    try {
        return uninstallDialog(dialog);
    } catch (...) {
        return false;
    }
}

bool Tavro_SetGlisk(HWND dialog, unsigned int controlId, bool enable)
{
    try {
        HookedDialog* record = findDialog(dialog);
        if (!record)
            return false;
        return enable ? attachButton(*record, controlId) : detachButton(*record, controlId);
    } catch (...) {
        return false;
    }
}

bool Tavro_SetMode(HWND dialog, unsigned int controlId, int mode)
{
    return withButton(dialog, controlId, [&](HookedButton& b) { b.setMode(mode); return true; });
}

bool Tavro_LoadIcons(HWND dialog, unsigned int controlId, HINSTANCE module, unsigned int iconId,
                     unsigned int secondIconId)
{
    return withButton(dialog, controlId,
                      [&](HookedButton& b) { return b.loadIcons(module, iconId, secondIconId); });
}

bool Tavro_SetTextColor(HWND dialog, unsigned int controlId, unsigned long textColor, unsigned long hotTextColor)
{
    return withButton(dialog, controlId, [&](HookedButton& b) {
        b.setTextColors(static_cast<COLORREF>(textColor), static_cast<COLORREF>(hotTextColor));
        return true;
    });
}

bool Tavro_SetFaceColor(HWND dialog, unsigned int controlId, unsigned long faceColor)
{
    return withButton(dialog, controlId, [&](HookedButton& b) {
        b.setFaceColor(static_cast<COLORREF>(faceColor));
        return true;
    });
}

bool Tavro_SetSysColors(HWND dialog, unsigned int controlId)
{
    return withButton(dialog, controlId, [](HookedButton& b) { b.setSysColors(); return true; });
}

bool Tavro_GetOptimalSize(HWND dialog, unsigned int controlId, SIZE& size)
{
    return withButton(dialog, controlId, [&](HookedButton& b) {
        const SIZE optimal = b.getOptimalSize();
        size = optimal;
        return true;
    });
}
