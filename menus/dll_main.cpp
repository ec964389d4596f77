// Entry point of Nellolib.dll: the library's state is made when a process
// loads it and released when the process unloads it.
#include "menu_state.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        InitMenuLibrary();
        break;
    case DLL_PROCESS_DETACH:
        // At process exit the system reclaims everything, and other DLLs may
        // already be gone: only an unload by FreeLibrary cleans up.
        if (!reserved)
            ShutdownMenuLibrary();
        break;
    }
    return TRUE;
}
