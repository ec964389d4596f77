// The showcase host: a main window whose menus the menu library draws and a
// dialog whose buttons the push-button library draws, used exactly as any
// application would use the two DLLs.
//
//   showcase.exe                    interactive
//   showcase.exe --pictures DIR     drives every look, writes one PNG per
//                                   state and a contact sheet into DIR, exits
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "contact_sheet.h"
#include "gallery.h"
#include "menu_window.h"
#include "showcase_ids.h"
#include "specimens.h"

namespace showcase {
namespace {

// The sheet says its DPI when it is not the usual 96, so that the two sheets
// side by side cannot be mistaken for each other.
std::string sheetTitle()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    std::string title = "Tavrolib and Nellolib showcase";
    if (dpi != 96)
        title += " at " + std::to_string(dpi) + " DPI";
    return title;
}

void pumpFor(DWORD milliseconds)
{
    const DWORD end = GetTickCount() + milliseconds;
    MSG msg;
    do {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

// Wine's default hot-tracking colour is a light grey that hot text can hardly
// be read in; for the showcase's run the session gets the Windows default.
// Made once the windows are installed, the change reaches both libraries the
// way any system colour change does. (Transparent buttons copy what lies
// under them once, so the change is made before the gallery opens.)
class ReadableHotTracking {
public:
    ReadableHotTracking() : previous_(GetSysColor(COLOR_HOTLIGHT))
    {
        const int light = GetRValue(previous_) + GetGValue(previous_) + GetBValue(previous_);
        if (light > 3 * 200) {
            const int element = COLOR_HOTLIGHT;
            const COLORREF readable = RGB(0, 102, 204);
            changed_ = SetSysColors(1, &element, &readable);
        }
    }
    ~ReadableHotTracking()
    {
        if (changed_) {
            const int element = COLOR_HOTLIGHT;
            SetSysColors(1, &element, &previous_);
        }
    }

private:
    COLORREF previous_;
    bool changed_ = false;
};

int runInteractive(HINSTANCE instance)
{
    bool ok = true;
    HWND main = createMainWindow(instance, &ok);
    ReadableHotTracking hotTracking;
    HWND gallery = createGallery(instance, main, &ok);
    if (!main || !gallery || !ok)
        std::fprintf(stderr, "showcase: a library call failed\n");
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsWindow(gallery) && IsDialogMessageA(gallery, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return ok ? 0 : 1;
}

struct Saved {
    int written = 0;
    int failed = 0;
};

void save(const Picture& picture, const std::string& dir, const std::string& name, Saved& saved)
{
    const std::string path = dir + "\\" + name + ".png";
    if (savePng(picture, path)) {
        ++saved.written;
    } else {
        ++saved.failed;
        std::fprintf(stderr, "showcase: could not write %s\n", path.c_str());
    }
}

int runPictures(HINSTANCE instance, const std::string& dir)
{
    CreateDirectoryA(dir.c_str(), nullptr);
    bool ok = true;
    Saved saved;
    std::vector<SheetSection> sheet;

    // The menu library hears of the change through its installed window;
    // buttons attached after it read the new colours.
    HWND main = createMainWindow(instance, &ok);
    ReadableHotTracking hotTracking;
    HWND gallery = createGallery(instance, nullptr, &ok);
    SetWindowPos(gallery, HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    pumpFor(300);
    // A press on Print's arrow: the gallery's status line names the notification.
    HWND print = GetDlgItem(gallery, IDC_SPLIT_DOWN);
    RECT printRect;
    GetClientRect(print, &printRect);
    SendMessageA(print, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(printRect.right - 5, printRect.bottom / 2));
    if (galleryStatus(gallery).find("1124") == std::string::npos) {
        std::fprintf(stderr, "showcase: the split arrow's notification did not arrive\n");
        ok = false;
    }
    pumpFor(100);
    const Picture galleryPicture = captureWindow(gallery);
    save(galleryPicture, dir, "button-gallery", saved);

    std::vector<StatePicture> states = captureButtonStates(instance, POINT{10, 700}, &ok);
    SheetSection looks3d{"Push-button library: the looks of a 3D button", {}};
    SheetSection looksFlat{"Push-button library: the looks of a flat button", {}};
    for (const auto& s : states) {
        save(s.picture, dir, s.name, saved);
        (s.name.find("-flat-") != std::string::npos ? looksFlat : looks3d).entries.push_back({s.caption, s.picture, 2});
    }
    sheet.push_back(looks3d);
    sheet.push_back(looksFlat);
    sheet.push_back({"Push-button library: the gallery dialog", {{"every mode, alignment and colour", galleryPicture, 1}}});
    destroyGallery(gallery);

    SetForegroundWindow(main);
    pumpFor(300);
    SheetSection menus{"Menu library: popups in both looks (caption band, images, sub-menu image, Unicode texts)", {}};
    for (const auto& m : captureMenus(main)) {
        save(m.picture, dir, m.name, saved);
        menus.entries.push_back({m.caption, m.picture, 1});
    }
    sheet.push_back(menus);
    if (!menusRestored(main)) {
        std::fprintf(stderr, "showcase: the menus were not given back as they were\n");
        ok = false;
    }
    DestroyWindow(main);

    const Picture contact = composeSheet(sheetTitle(), sheet, 1100);
    save(contact, dir, "contact-sheet", saved);

    std::printf("showcase: %d pictures written to %s (contact sheet: %s\\contact-sheet.png)\n", saved.written,
                dir.c_str(), dir.c_str());
    if (!ok)
        std::fprintf(stderr, "showcase: a library call failed\n");
    return ok && saved.failed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace showcase

int main(int argc, char** argv)
{
    InitCommonControls();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (argc == 3 && std::strcmp(argv[1], "--pictures") == 0)
        return showcase::runPictures(instance, argv[2]);
    return showcase::runInteractive(instance);
}
