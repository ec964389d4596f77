// Tavrolib's entry point: the registry is made at load and every dialog
// still installed is given back its own procedures at unload.
#include "button_registry.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        libraryLoad();
    else if (reason == DLL_PROCESS_DETACH)
        libraryUnload();
    return TRUE;
}
