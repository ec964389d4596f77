// Hosts built with MSVC find every export under its MSVC-decorated name: the
// alias must be the very function behind the GCC name, callable through it.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

struct Alias {
    std::string msvc;
    std::string gcc;
};

// The alias file as the DLL was linked with it: "msvc name" = gcc name.
std::vector<Alias> readAliases(const char* path)
{
    std::vector<Alias> aliases;
    std::ifstream file(path);
    const std::regex line("^\"([^\"]+)\" = (\\S+)");
    std::string text;
    while (std::getline(file, text)) {
        std::smatch m;
        if (std::regex_search(text, m, line))
            aliases.push_back({m[1], m[2]});
    }
    return aliases;
}

// The names below are written in their 64-bit form. A 32-bit MSVC name has
// no __ptr64 marker (E) after a pointer or reference code: PEA, PEB and AEA
// are PA, PB and AA there.
std::string msvcNameOfThisBuild(const char* x64Name)
{
#ifdef _WIN64
    return x64Name;
#else
    return std::regex_replace(x64Name, std::regex("([PA])E([AB])"), "$1$2");
#endif
}

class Library {
public:
    explicit Library(const char* name) : module_(LoadLibraryA(name)) {}
    ~Library()
    {
        if (module_)
            FreeLibrary(module_);
    }
    HMODULE get() const { return module_; }
    template <class F>
    F msvc(const char* name) const
    {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, msvcNameOfThisBuild(name).c_str())));
    }

private:
    HMODULE module_;
};

void expectEveryAliasIsTheSameFunction(const char* dll, const char* aliasFile)
{
    Library library(dll);
    ASSERT_TRUE(library.get()) << dll;
    const auto aliases = readAliases(aliasFile);
    ASSERT_EQ(aliases.size(), 9u) << aliasFile;
    for (const auto& a : aliases) {
        FARPROC viaMsvc = GetProcAddress(library.get(), a.msvc.c_str());
        FARPROC viaGcc = GetProcAddress(library.get(), a.gcc.c_str());
        EXPECT_NE(viaMsvc, nullptr) << a.msvc;
        EXPECT_EQ(viaMsvc, viaGcc) << a.msvc << " is not " << a.gcc;
    }
}

TEST(MsvcNames, EveryTavroAliasIsTheSameFunction)
{
    expectEveryAliasIsTheSameFunction("Tavrolib.dll", TAVRO_ALIASES);
}

TEST(MsvcNames, EveryNelloAliasIsTheSameFunction)
{
    expectEveryAliasIsTheSameFunction("Nellolib.dll", NELLO_ALIASES);
}

struct Dialog {
    HWND window = CreateWindowExA(0, "Static", "host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    HWND button = CreateWindowExA(0, "Button", "Press", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80, 24, window,
                                  reinterpret_cast<HMENU>(7), nullptr, nullptr);
    ~Dialog() { DestroyWindow(window); }
};

TEST(MsvcNames, TavroCallsGoThroughTheMsvcNames)
{
    Library lib("Tavrolib.dll");
    ASSERT_TRUE(lib.get());
    auto install = lib.msvc<bool (*)(HWND)>("?Tavro_Install@@YA_NPEAUHWND__@@@Z");
    auto uninstall = lib.msvc<bool (*)(HWND)>("?Tavro_UnInstall@@YA_NPEAUHWND__@@@Z");
    auto glisk = lib.msvc<bool (*)(HWND, unsigned, bool)>("?Tavro_SetGlisk@@YA_NPEAUHWND__@@I_N@Z");
    auto mode = lib.msvc<bool (*)(HWND, unsigned, int)>("?Tavro_SetMode@@YA_NPEAUHWND__@@IH@Z");
    auto icons = lib.msvc<bool (*)(HWND, unsigned, HINSTANCE, unsigned, unsigned)>(
        "?Tavro_LoadIcons@@YA_NPEAUHWND__@@IPEAUHINSTANCE__@@II@Z");
    auto text = lib.msvc<bool (*)(HWND, unsigned, unsigned long, unsigned long)>(
        "?Tavro_SetTextColor@@YA_NPEAUHWND__@@IKK@Z");
    auto face = lib.msvc<bool (*)(HWND, unsigned, unsigned long)>("?Tavro_SetFaceColor@@YA_NPEAUHWND__@@IK@Z");
    auto sys = lib.msvc<bool (*)(HWND, unsigned)>("?Tavro_SetSysColors@@YA_NPEAUHWND__@@I@Z");
    auto size = lib.msvc<bool (*)(HWND, unsigned, SIZE&)>("?Tavro_GetOptimalSize@@YA_NPEAUHWND__@@IAEAUtagSIZE@@@Z");
    ASSERT_TRUE(install && uninstall && glisk && mode && icons && text && face && sys && size);

    Dialog d;
    EXPECT_TRUE(install(d.window));
    EXPECT_FALSE(install(d.window)) << "the alias shares the library's registry";
    EXPECT_TRUE(glisk(d.window, 7, true));
    EXPECT_EQ(GetWindowLongPtrA(d.button, GWL_STYLE) & 0xF, BS_OWNERDRAW);
    EXPECT_TRUE(mode(d.window, 7, 4));
    EXPECT_FALSE(icons(d.window, 7, GetModuleHandleA(nullptr), 0x7777, 0)) << "no such icon";
    EXPECT_TRUE(text(d.window, 7, RGB(1, 2, 3), RGB(4, 5, 6)));
    EXPECT_TRUE(face(d.window, 7, RGB(102, 153, 204)));
    EXPECT_TRUE(sys(d.window, 7));
    SIZE s{-1, -1};
    EXPECT_TRUE(size(d.window, 7, s));
    EXPECT_GT(s.cx, 0);
    EXPECT_GT(s.cy, 0);
    EXPECT_FALSE(size(d.window, 8, s)) << "control 8 is not attached";
    EXPECT_TRUE(glisk(d.window, 7, false));
    EXPECT_TRUE(uninstall(d.window));
    EXPECT_FALSE(uninstall(d.window));
}

TEST(MsvcNames, NelloCallsGoThroughTheMsvcNames)
{
    Library lib("Nellolib.dll");
    ASSERT_TRUE(lib.get());
    auto toolbar = lib.msvc<bool (*)(HINSTANCE, unsigned)>("?Nello_LoadToolbar@@YA_NPEAUHINSTANCE__@@I@Z");
    auto iconResource = lib.msvc<bool (*)(HINSTANCE, unsigned, unsigned)>("?Nello_AddIcon@@YA_NPEAUHINSTANCE__@@II@Z");
    auto iconHandle = lib.msvc<bool (*)(HICON, unsigned)>("?Nello_AddIcon@@YA_NPEAUHICON__@@I@Z");
    auto caption = lib.msvc<bool (*)(HMENU, const char*)>("?Nello_SetCaption@@YA_NPEAUHMENU__@@PEBD@Z");
    auto subMenu = lib.msvc<bool (*)(HMENU, unsigned)>("?Nello_SetSubMenuButtonId@@YA_NPEAUHMENU__@@I@Z");
    auto look = lib.msvc<void (*)(int)>("?Nello_SetLookMode@@YAXH@Z");
    auto unload = lib.msvc<void (*)()>("?Nello_UnLoadToolbars@@YAXXZ");
    auto install = lib.msvc<bool (*)(HWND)>("?Nello_Install@@YA_NPEAUHWND__@@@Z");
    auto uninstall = lib.msvc<bool (*)(HWND)>("?Nello_UnInstall@@YA_NPEAUHWND__@@@Z");
    ASSERT_TRUE(toolbar && iconResource && iconHandle && caption && subMenu && look && unload && install && uninstall);

    EXPECT_FALSE(toolbar(GetModuleHandleA(nullptr), 0x7777)) << "no such toolbar";
    EXPECT_FALSE(iconResource(GetModuleHandleA(nullptr), 0x7777, 5000)) << "no such icon";
    EXPECT_TRUE(iconHandle(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION)), 5000));
    HMENU menu = CreatePopupMenu();
    EXPECT_TRUE(caption(menu, "Caption"));
    EXPECT_FALSE(caption(menu, "Again")) << "a second caption for the same popup";
    EXPECT_TRUE(caption(menu, nullptr)) << "null removes the caption";
    EXPECT_TRUE(subMenu(menu, 5000));
    look(1);
    look(0);
    unload();
    Dialog d;
    EXPECT_TRUE(install(d.window));
    EXPECT_FALSE(install(d.window));
    EXPECT_TRUE(uninstall(d.window));
    DestroyMenu(menu);
}

}  // namespace
