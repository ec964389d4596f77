// Installing dialogs, attaching and detaching buttons, and the registry's
// life from library load to unload.
#include "button_registry.h"
#include "dpi_scale.h"

#include <cstring>
#include <string.h>
#include <unordered_map>

PtrArray g_dialogs{PtrArray::kDefaultBlockSize};
TrackMouseEventFn g_trackMouseEvent = nullptr;

namespace {

// Every attached record by its button window, so that a message finds its
// record without walking the dialogs. A window property would do the same,
// but reading one is a trip to wine's server on every message.
std::unordered_map<HWND, HookedButton*> g_buttonsByWindow;

// Each record leaves its list before it is restored and freed: restoring
// sends the button messages that can reach host code, and a host that calls
// back in must find only live records.
void releaseButtons(PtrArray& buttons)
{
    while (!buttons.empty()) {
        HookedButton* button = buttons.get<HookedButton>(0);
        buttons.removeAt(0);
        button->restore();
        delete button;
    }
    buttons.clear();
}

// Takes the dialog out of the registry, then gives its windows back.
void releaseDialog(int index)
{
    HookedDialog* dialog = g_dialogs.get<HookedDialog>(index);
    g_dialogs.removeAt(index);
    dialog->uninstall();
    delete dialog;
}

}  // namespace

bool isButtonClassName(const char* name)
{
    return _stricmp(name, "Button") == 0;
}

HookedDialog* findDialog(HWND dialog)
{
    for (int i = 0; i < g_dialogs.size(); ++i) {
        HookedDialog* record = g_dialogs.get<HookedDialog>(i);
        if (record->hwnd == dialog)
            return record;
    }
    return nullptr;
}

HookedButton* HookedDialog::findButton(unsigned int id) const
{
    for (int i = 0; i < buttons.size(); ++i) {
        HookedButton* record = buttons.get<HookedButton>(i);
        if (record->controlId == id)
            return record;
    }
    return nullptr;
}

HookedButton* findButton(HWND dialog, unsigned int controlId)
{
    HookedDialog* record = findDialog(dialog);
    return record ? record->findButton(controlId) : nullptr;
}

HookedButton* findButtonByWindow(HWND button)
{
    const auto found = g_buttonsByWindow.find(button);
    return found == g_buttonsByWindow.end() ? nullptr : found->second;
}

bool indexButtonWindow(HookedButton* button) noexcept
{
    try {
        return g_buttonsByWindow.emplace(button->hwnd, button).second;
    } catch (...) {
        return false;
    }
}

void unindexButtonWindow(const HookedButton* button) noexcept
{
    const auto found = g_buttonsByWindow.find(button->hwnd);
    if (found != g_buttonsByWindow.end() && found->second == button)
        g_buttonsByWindow.erase(found);
}

void HookedDialog::install(HWND dialog)
{
    buttons.clear();
    hwnd = dialog;
    // The registry is unsynchronised: a window whose messages another
    // thread handles would reach it from that thread.
    if (GetWindowThreadProcessId(dialog, nullptr) != GetCurrentThreadId())
        throw AttachFailure{dialog};
    if (!subclass.install(dialog, DialogWndProc))
        throw AttachFailure{dialog};
}

void HookedDialog::uninstall()
{
    // The dialog's own procedure comes back before any button is touched; a
    // window destroyed behind the library's back is never written to.
    if (IsWindow(hwnd))
        subclass.restore(hwnd);
    releaseButtons(buttons);
}

bool uninstallDialog(HWND dialog)
{
    const int index = g_dialogs.indexOf(findDialog(dialog));
    if (index < 0)
        return false;
    releaseDialog(index);
    return true;
}

void forgetDestroyedDialog(HWND dialog)
{
    const int index = g_dialogs.indexOf(findDialog(dialog));
    if (index < 0)
        return;
    HookedDialog* record = g_dialogs.get<HookedDialog>(index);
    g_dialogs.removeAt(index);
    // Its buttons, children of it, have gone before it and forgotten
    // themselves; one the host moved to another parent is still alive and
    // gets its own procedure back.
    releaseButtons(record->buttons);
    delete record;
}

void forgetDestroyedButton(HWND button)
{
    for (int d = 0; d < g_dialogs.size(); ++d) {
        PtrArray& buttons = g_dialogs.get<HookedDialog>(d)->buttons;
        for (int b = 0; b < buttons.size(); ++b) {
            HookedButton* record = buttons.get<HookedButton>(b);
            if (record->hwnd == button) {
                buttons.removeAt(b);
                forgetRoutedButton(record);
                record->releaseObjects();
                delete record;
                return;
            }
        }
    }
}

void HookedButton::attach(HWND dialog, unsigned int id)
{
    controlId = id;
    hwnd = GetDlgItem(dialog, static_cast<int>(id));
    if (!hwnd)
        throw AttachFailure{dialog};
    style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    exStyle = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE));
    if (!isAttachableType(style))
        throw AttachFailure{dialog};
    char name[256] = "";
    GetClassNameA(hwnd, name, sizeof name);
    if (!isButtonClassName(name))
        throw AttachFailure{dialog};
    // Subclassing is the last step that can fail, so a refused button is
    // left exactly as it was.
    if (!subclass.install(hwnd, ButtonWndProc))
        throw AttachFailure{dialog};
    typeBeforeAttach = style & 0xF;
    windowDpi = dpi::ofWindow(hwnd);
    SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(ownerDrawStyle(style)));
    setSysColors();
    imageList = nullptr;
    iconHeight = 0;
    iconWidth = 0;
    pushState = 0;
    hot = g_trackMouseEvent == nullptr && (style & BS_FLAT) != 0;
    mode = 0;
    background = nullptr;
    backgroundValid = false;
}

void HookedButton::restore()
{
    forgetRoutedButton(this);
    if (IsWindow(hwnd)) {
        subclass.restore(hwnd);
        // A style change while attached refreshed `style` with the owner-draw
        // type; the button gets its own type back and keeps its other bits.
        const DWORD current = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
        SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(styleAfterDetach(current, typeBeforeAttach)));
    }
    releaseObjects();
}

void HookedButton::releaseObjects()
{
    if (imageList) {
        ImageList_Destroy(imageList);
        imageList = nullptr;
    }
    if (background) {
        DeleteObject(background);
        background = nullptr;
    }
}

void HookedButton::redraw() const
{
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void HookedButton::setMode(int newMode)
{
    mode = newMode;
    pushState = 0;
    redraw();
}

void HookedButton::setTextColors(COLORREF text, COLORREF hotText)
{
    textColor = text;
    hotTextColor = hotText;
    textColorsFromSystem = false;
    redraw();
}

void libraryLoad()
{
    g_dialogs.clear();
    // comctl32 is already loaded (the image lists come from it); the library
    // never loads it itself and does without hot tracking when it is absent.
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    g_trackMouseEvent =
        comctl ? reinterpret_cast<TrackMouseEventFn>(GetProcAddress(comctl, "_TrackMouseEvent")) : nullptr;
}

void libraryUnload()
{
    while (!g_dialogs.empty())
        releaseDialog(0);
    g_dialogs.clear();
}

void setTrackMouseEventForTesting(TrackMouseEventFn fn)
{
    g_trackMouseEvent = fn;
}
