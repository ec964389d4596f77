// Orvane: the WH_SHELL hook of the window-inspection tool.
//
// The tool loads Orvane.dll, installs ShellProc with
// SetWindowsHookExA(WH_SHELL, ShellProc, module, 0) and keeps the returned
// HHOOK at index 0 of its main window's extra data (cbWndExtra of at least
// sizeof(LONG_PTR)). Its main window has the class "OrvaneWindow" and the
// title "Orvane..."; for every top-level window created, destroyed or
// activated it receives kOrvaneEventMessage, with the window in wParam and the
// event kind in lParam.
//
// The event is sent, not posted, so the tool can look at the window while it
// still exists. A tool that does not answer within about a second is not
// waited for any longer (the application that made the window goes on), and
// a tool the system already takes for hung is not waited for at all; such
// events reach the tool late, or not at all, instead of freezing every
// hooked application. The tool keeps its main window's thread responsive.
#pragma once

#include <windows.h>

constexpr const char* kOrvaneWindowClass = "OrvaneWindow";
constexpr const char* kOrvaneWindowTitle = "Orvane...";
constexpr UINT kOrvaneEventMessage = WM_USER + 1;  // 0x401

enum OrvaneEvent : LPARAM {
    OrvaneWindowActivated = 0,
    OrvaneWindowCreated = 1,
    OrvaneWindowDestroyed = 2,
};

extern "C" LRESULT CALLBACK ShellProc(int code, WPARAM wParam, LPARAM lParam);
