// Starting, hooking and driving a real program from the test process.
#include "real_program.h"

#include <algorithm>
#include <iterator>

namespace realhost {
namespace {

constexpr DWORD kAnswerTime = 5000;

std::wstring programPath(const std::wstring& program)
{
    wchar_t folder[MAX_PATH] = {};
    std::vector<std::wstring> folders;
    GetWindowsDirectoryW(folder, MAX_PATH);
    folders.push_back(folder);
    GetSystemDirectoryW(folder, MAX_PATH);
    folders.push_back(folder);
    if (GetEnvironmentVariableW(L"ProgramFiles", folder, MAX_PATH))
        folders.push_back(folder);
    for (const auto& candidate : folders)
        if (GetFileAttributesW((candidate + L"\\" + program).c_str()) != INVALID_FILE_ATTRIBUTES)
            return candidate + L"\\" + program;
    return program;
}

std::wstring ownFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

bool hasClass(HWND window, const wchar_t* className)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return lstrcmpiW(name, className) == 0;
}

struct WindowSearch {
    DWORD thread;
    const wchar_t* className;
    HWND except;
    HWND found;
};

BOOL CALLBACK matchTopLevel(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    if (window != search->except && IsWindowVisible(window) && hasClass(window, search->className)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

void sendInputs(std::vector<INPUT> inputs)
{
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT keyInput(WORD key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

}  // namespace

bool waitUntil(const std::function<bool()>& ready, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (ready())
            return true;
        if (GetTickCount() - start >= milliseconds)
            return false;
        Sleep(10);
    }
}

RealProgram::RealProgram(const std::wstring& program, const std::wstring& arguments, const wchar_t* mainClass)
{
    std::wstring commandLine = L"\"" + programPath(program) + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_))
        return;
    // Waiting for input idle can take its whole limit (wordpad does), so
    // the window itself is what is waited for.
    WindowSearch search = {process_.dwThreadId, mainClass, nullptr, nullptr};
    waitUntil([&] {
        EnumThreadWindows(search.thread, matchTopLevel, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, 15000);
    mainWindow_ = search.found;
    thread_ = mainWindow_ ? GetWindowThreadProcessId(mainWindow_, nullptr) : 0;
}

RealProgram::~RealProgram()
{
    if (hook_)
        UnhookWindowsHookEx(hook_);
    if (process_.hProcess) {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    if (channel_)
        UnmapViewOfFile(channel_);
    if (mapping_)
        CloseHandle(mapping_);
    if (answered_)
        CloseHandle(answered_);
    if (agent_)
        FreeLibrary(agent_);
}

Answer RealProgram::hookAgent()
{
    const DWORD self = GetCurrentProcessId();
    mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Channel),
                                  channelName(self).c_str());
    answered_ = CreateEventW(nullptr, FALSE, FALSE, answerEventName(self).c_str());
    if (mapping_)
        channel_ = static_cast<Channel*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Channel)));
    agent_ = LoadLibraryW((ownFolder() + L"realhost_agent.dll").c_str());
    auto proc = agent_ ? reinterpret_cast<HOOKPROC>(GetProcAddress(agent_, "RealHostGetMessage")) : nullptr;
    if (!channel_ || !answered_ || !proc || !thread_)
        return {false, false, L"agent, channel or program missing"};
    hook_ = SetWindowsHookExW(WH_GETMESSAGE, proc, agent_, thread_);
    if (!hook_)
        return {false, false, L"SetWindowsHookExW refused"};
    return command(Command::LoadLibraries);
}

Answer RealProgram::command(Command command, HWND window, UINT argument, const std::wstring& text)
{
    if (!channel_)
        return {false, false, L"not hooked"};
    channel_->request = ++request_;
    channel_->command = command;
    channel_->window = reinterpret_cast<ULONG_PTR>(window);
    channel_->argument = argument;
    const auto length = std::min<std::size_t>(text.size(), std::size(channel_->text) - 1);
    text.copy(channel_->text, length);
    channel_->text[length] = L'\0';
    PostThreadMessageW(thread_, commandMessage(), request_, GetCurrentProcessId());
    const bool delivered = waitUntil([&] {
        WaitForSingleObject(answered_, 50);
        return InterlockedCompareExchange(&channel_->answered, 0, 0) == request_;
    }, kAnswerTime);
    if (!delivered)
        return {false, false, L"no answer"};
    return {true, channel_->ok != 0, channel_->answer};
}

HWND RealProgram::findWindow(const wchar_t* className) const
{
    WindowSearch search = {thread_, className, mainWindow_, nullptr};
    EnumThreadWindows(thread_, matchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

namespace {

struct WindowCount {
    const wchar_t* className;
    int count;
};

// A named callback: a lambda does not convert to the stdcall WNDENUMPROC of a
// 32-bit build.
BOOL CALLBACK countVisible(HWND window, LPARAM lParam)
{
    auto* count = reinterpret_cast<WindowCount*>(lParam);
    if (IsWindowVisible(window) && hasClass(window, count->className))
        ++count->count;
    return TRUE;
}

}  // namespace

int RealProgram::countWindows(const wchar_t* className) const
{
    WindowCount count = {className, 0};
    EnumThreadWindows(thread_, countVisible, reinterpret_cast<LPARAM>(&count));
    return count.count;
}

HWND RealProgram::findChild(HWND parent, const wchar_t* className)
{
    return FindWindowExW(parent, nullptr, className, nullptr);
}

bool RealProgram::waitForExit(DWORD milliseconds, DWORD& exitCode)
{
    if (WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(process_.hProcess, &exitCode) != FALSE;
}

bool bringToFront(HWND window)
{
    SetForegroundWindow(window);
    return waitUntil([&] { return GetForegroundWindow() == window; }, 2000);
}

void pressKey(WORD key) { sendInputs({keyInput(key, false), keyInput(key, true)}); }

void pressChord(const std::vector<WORD>& keys)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys)
        inputs.push_back(keyInput(key, false));
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        inputs.push_back(keyInput(*key, true));
    sendInputs(inputs);
}

void typeText(const std::wstring& text)
{
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = c;
        input.ki.dwFlags = KEYEVENTF_UNICODE;
        inputs.push_back(input);
        input.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    sendInputs(inputs);
}

void clickWindow(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    INPUT down = {};
    down.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    INPUT up = down;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    sendInputs({down, up});
}

std::wstring windowText(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        2000, &copied);
    text.resize(copied);
    return text;
}

bool setWindowText(HWND window, const std::wstring& text)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 2000,
                               &result) &&
           result;
}

std::string narrow(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string utf8(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size, nullptr, nullptr);
    return utf8;
}

}  // namespace realhost
