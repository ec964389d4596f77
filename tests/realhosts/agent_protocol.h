// How the driver talks to the agent that runs inside a real program: a
// command is a registered message posted to the program's GUI thread, whose
// arguments and answer travel in a shared block named after the driver's
// process; the agent signals an event once the answer is written.
#pragma once

#include <windows.h>

#include <string>

namespace realhost {

// Posted to the program's thread: wParam is the request number, lParam the
// driver's process id (which names the shared block and the event).
inline UINT commandMessage() { return RegisterWindowMessageW(L"TavroRealHost.command"); }

inline std::wstring channelName(DWORD driverProcess)
{
    return L"TavroRealHost.channel." + std::to_wstring(driverProcess);
}
inline std::wstring answerEventName(DWORD driverProcess)
{
    return L"TavroRealHost.answer." + std::to_wstring(driverProcess);
}

enum class Command : UINT {
    LoadLibraries,     // loads both UI libraries from the agent's folder
    ConvertMenus,      // remembers the window's menus, then installs the window
    InspectOpenMenus,  // reports how many items of the open popups are the library's
    DescribeMenus,     // the window's menus as they are now
    CompareMenus,      // differences between the menus now and when remembered
    RestoreMenus,      // uninstalls the window
    SetMenuText,       // gives command `argument` the sample text of `text`
    AttachButtons,     // remembers the dialog and its buttons, installs it, attaches its push buttons
    DetachButtons,     // uninstalls the dialog and reports differences from what was remembered
    UnloadLibraries,   // frees both UI libraries
};

constexpr int kTextCapacity = 32 * 1024;

struct Channel {
    LONG request;      // number of the request the driver posted last
    Command command;
    UINT64 window;     // the window the command works on
    UINT argument;
    wchar_t text[256]; // a text argument
    LONG answered;     // number of the request the agent answered last
    LONG ok;           // whether the command did what it was asked
    wchar_t answer[kTextCapacity];  // what it found, line by line
};

}  // namespace realhost
