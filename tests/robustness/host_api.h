// The button and menu exports as a host finds them in a DLL it loaded at run
// time, by their decorated names, so that tests can unload the library.
#pragma once

#include <windows.h>

namespace robust {

class LoadedLibrary {
public:
    explicit LoadedLibrary(const char* name) : module_(LoadLibraryA(name)) {}
    ~LoadedLibrary() { unload(); }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;
    HMODULE module() const { return module_; }
    void unload()
    {
        if (module_)
            FreeLibrary(module_);
        module_ = nullptr;
    }
    template <class F>
    F find(const char* name) const
    {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

private:
    HMODULE module_;
};

struct TavroApi {
    explicit TavroApi(const LoadedLibrary& dll)
        : install(dll.find<bool (*)(HWND)>("_Z13Tavro_InstallP6HWND__")),
          unInstall(dll.find<bool (*)(HWND)>("_Z15Tavro_UnInstallP6HWND__")),
          setGlisk(dll.find<bool (*)(HWND, unsigned, bool)>("_Z14Tavro_SetGliskP6HWND__jb")),
          loadIcons(dll.find<bool (*)(HWND, unsigned, HINSTANCE, unsigned, unsigned)>(
              "_Z15Tavro_LoadIconsP6HWND__jP11HINSTANCE__jj")),
          setMode(dll.find<bool (*)(HWND, unsigned, int)>("_Z13Tavro_SetModeP6HWND__ji")),
          setTextColor(dll.find<bool (*)(HWND, unsigned, unsigned long, unsigned long)>(
              "_Z18Tavro_SetTextColorP6HWND__jmm")),
          setFaceColor(dll.find<bool (*)(HWND, unsigned, unsigned long)>("_Z18Tavro_SetFaceColorP6HWND__jm")),
          setSysColors(dll.find<bool (*)(HWND, unsigned)>("_Z18Tavro_SetSysColorsP6HWND__j")),
          getOptimalSize(dll.find<bool (*)(HWND, unsigned, SIZE&)>("_Z20Tavro_GetOptimalSizeP6HWND__jR7tagSIZE"))
    {
    }
    bool complete() const
    {
        return install && unInstall && setGlisk && loadIcons && setMode && setTextColor && setFaceColor &&
               setSysColors && getOptimalSize;
    }
    bool (*install)(HWND);
    bool (*unInstall)(HWND);
    bool (*setGlisk)(HWND, unsigned, bool);
    bool (*loadIcons)(HWND, unsigned, HINSTANCE, unsigned, unsigned);
    bool (*setMode)(HWND, unsigned, int);
    bool (*setTextColor)(HWND, unsigned, unsigned long, unsigned long);
    bool (*setFaceColor)(HWND, unsigned, unsigned long);
    bool (*setSysColors)(HWND, unsigned);
    bool (*getOptimalSize)(HWND, unsigned, SIZE&);
};

struct NelloApi {
    explicit NelloApi(const LoadedLibrary& dll)
        : loadToolbar(dll.find<bool (*)(HINSTANCE, unsigned)>("_Z17Nello_LoadToolbarP11HINSTANCE__j")),
          addIconResource(dll.find<bool (*)(HINSTANCE, unsigned, unsigned)>("_Z13Nello_AddIconP11HINSTANCE__jj")),
          addIconHandle(dll.find<bool (*)(HICON, unsigned)>("_Z13Nello_AddIconP7HICON__j")),
          setCaption(dll.find<bool (*)(HMENU, const char*)>("_Z16Nello_SetCaptionP7HMENU__PKc")),
          setSubMenuButtonId(dll.find<bool (*)(HMENU, unsigned)>("_Z24Nello_SetSubMenuButtonIdP7HMENU__j")),
          setLookMode(dll.find<void (*)(int)>("_Z17Nello_SetLookModei")),
          unLoadToolbars(dll.find<void (*)()>("_Z20Nello_UnLoadToolbarsv")),
          install(dll.find<bool (*)(HWND)>("_Z13Nello_InstallP6HWND__")),
          unInstall(dll.find<bool (*)(HWND)>("_Z15Nello_UnInstallP6HWND__"))
    {
    }
    bool complete() const
    {
        return loadToolbar && addIconResource && addIconHandle && setCaption && setSubMenuButtonId && setLookMode &&
               unLoadToolbars && install && unInstall;
    }
    bool (*loadToolbar)(HINSTANCE, unsigned);
    bool (*addIconResource)(HINSTANCE, unsigned, unsigned);
    bool (*addIconHandle)(HICON, unsigned);
    bool (*setCaption)(HMENU, const char*);
    bool (*setSubMenuButtonId)(HMENU, unsigned);
    void (*setLookMode)(int);
    void (*unLoadToolbars)();
    bool (*install)(HWND);
    bool (*unInstall)(HWND);
};

}  // namespace robust
