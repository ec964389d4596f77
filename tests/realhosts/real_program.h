// A program that nobody on this project wrote, started and driven from
// outside: its windows found by class, the agent hooked into its GUI thread
// and given commands, and real keyboard and mouse input sent to it. Every
// wait is bounded; a program still running when its owner goes is killed.
#pragma once

#include "agent_protocol.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace realhost {

// Polls until ready() holds or the time is up; true when it held.
bool waitUntil(const std::function<bool()>& ready, DWORD milliseconds = 5000);

struct Answer {
    bool delivered;  // false when the agent did not answer in time
    bool ok;
    std::wstring text;
};

class RealProgram {
public:
    // Starts the program (a path under the Windows folder, system32 or the
    // programs folder) with the arguments, and waits for its visible main
    // window of mainClass.
    RealProgram(const std::wstring& program, const std::wstring& arguments, const wchar_t* mainClass);
    ~RealProgram();
    RealProgram(const RealProgram&) = delete;
    RealProgram& operator=(const RealProgram&) = delete;

    bool started() const { return mainWindow_ != nullptr; }
    HWND mainWindow() const { return mainWindow_; }
    DWORD thread() const { return thread_; }

    // Hooks the agent into the program's GUI thread and has it load the UI
    // libraries there.
    Answer hookAgent();
    Answer command(Command command, HWND window = nullptr, UINT argument = 0, const std::wstring& text = L"");

    // A visible top-level window of the program's thread of that class
    // other than the main window, or null.
    HWND findWindow(const wchar_t* className) const;
    // How many visible top-level windows of that class its thread has.
    int countWindows(const wchar_t* className) const;
    // The first child of parent of that class, or null.
    static HWND findChild(HWND parent, const wchar_t* className);

    // Waits for the program to end; true with its exit code when it did.
    bool waitForExit(DWORD milliseconds, DWORD& exitCode);

private:
    PROCESS_INFORMATION process_ = {};
    HWND mainWindow_ = nullptr;
    DWORD thread_ = 0;
    HMODULE agent_ = nullptr;
    HHOOK hook_ = nullptr;
    HANDLE mapping_ = nullptr;
    HANDLE answered_ = nullptr;
    Channel* channel_ = nullptr;
    LONG request_ = 0;
};

// Real input, as the system's input queue delivers it to the foreground
// window's focus.
bool bringToFront(HWND window);
void pressKey(WORD key);
// Keys held down in order, then released in reverse order.
void pressChord(const std::vector<WORD>& keys);
void typeText(const std::wstring& text);
// Moves the pointer over the middle of the window and clicks it.
void clickWindow(HWND window);

// Whatever the window holds as text, read through WM_GETTEXT in UTF-16.
std::wstring windowText(HWND window);
// Sets it through WM_SETTEXT in UTF-16; a hung program is not waited for.
bool setWindowText(HWND window, const std::wstring& text);

// UTF-8 for test messages.
std::string narrow(const std::wstring& text);

}  // namespace realhost
