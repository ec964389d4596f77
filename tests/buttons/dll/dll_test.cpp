// Tavrolib.dll as a host loads it: every export found under its decorated
// name, and unloading with dialogs installed gives every window back its own
// procedure and style.
#include "button_dialog.h"
#include "tavrolib.h"

#include <gtest/gtest.h>

namespace {

// The x86_64 decorations of the nine exports (the i686 ones are checked
// against the export table).
const char* const kExports[] = {
    "_Z13Tavro_InstallP6HWND__",
    "_Z15Tavro_UnInstallP6HWND__",
    "_Z14Tavro_SetGliskP6HWND__jb",
    "_Z15Tavro_LoadIconsP6HWND__jP11HINSTANCE__jj",
    "_Z13Tavro_SetModeP6HWND__ji",
    "_Z18Tavro_SetTextColorP6HWND__jmm",
    "_Z18Tavro_SetFaceColorP6HWND__jm",
    "_Z18Tavro_SetSysColorsP6HWND__j",
    "_Z20Tavro_GetOptimalSizeP6HWND__jR7tagSIZE",
};

using InstallFn = bool (*)(HWND);
using SetGliskFn = bool (*)(HWND, unsigned int, bool);

}  // namespace

TEST(TavrolibDll, ExportsEveryFunctionUnderItsDecoratedName)
{
    HMODULE dll = LoadLibraryA("Tavrolib.dll");
    ASSERT_NE(dll, nullptr);
    for (const char* name : kExports)
        EXPECT_NE(GetProcAddress(dll, name), nullptr) << name;
    EXPECT_EQ(GetProcAddress(dll, "Tavro_Install"), nullptr) << "no undecorated names";
    FreeLibrary(dll);
}

TEST(TavrolibDll, UnloadRestoresEveryInstalledDialog)
{
    button_testing::ButtonDialog first, second;
    HWND a = first.addButton(1, BS_PUSHBUTTON);
    HWND b = second.addButton(2, BS_AUTOCHECKBOX | BS_FLAT);
    const LONG_PTR procs[] = {GetWindowLongPtrA(first.hwnd(), GWLP_WNDPROC),
                              GetWindowLongPtrA(second.hwnd(), GWLP_WNDPROC), GetWindowLongPtrA(a, GWLP_WNDPROC),
                              GetWindowLongPtrA(b, GWLP_WNDPROC)};
    const LONG styles[] = {GetWindowLongA(a, GWL_STYLE), GetWindowLongA(b, GWL_STYLE)};

    HMODULE dll = LoadLibraryA("Tavrolib.dll");
    ASSERT_NE(dll, nullptr);
    auto install = reinterpret_cast<InstallFn>(GetProcAddress(dll, kExports[0]));
    auto setGlisk = reinterpret_cast<SetGliskFn>(GetProcAddress(dll, kExports[2]));
    ASSERT_TRUE(install && setGlisk);
    ASSERT_TRUE(install(first.hwnd()));
    ASSERT_TRUE(install(second.hwnd()));
    ASSERT_TRUE(setGlisk(first.hwnd(), 1, true));
    ASSERT_TRUE(setGlisk(second.hwnd(), 2, true));
    EXPECT_NE(GetWindowLongPtrA(a, GWLP_WNDPROC), procs[2]);
    EXPECT_EQ(GetWindowLongA(a, GWL_STYLE) & 0xF, BS_OWNERDRAW);

    ASSERT_TRUE(FreeLibrary(dll));
    EXPECT_EQ(GetWindowLongPtrA(first.hwnd(), GWLP_WNDPROC), procs[0]);
    EXPECT_EQ(GetWindowLongPtrA(second.hwnd(), GWLP_WNDPROC), procs[1]);
    EXPECT_EQ(GetWindowLongPtrA(a, GWLP_WNDPROC), procs[2]);
    EXPECT_EQ(GetWindowLongPtrA(b, GWLP_WNDPROC), procs[3]);
    EXPECT_EQ(GetWindowLongA(a, GWL_STYLE), styles[0]);
    EXPECT_EQ(GetWindowLongA(b, GWL_STYLE), styles[1]);
    // The windows still work with the library gone.
    SendMessageA(a, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(a, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    RedrawWindow(first.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(first.clicks(), 1);
}
