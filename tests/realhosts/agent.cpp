// The test agent: a WH_GETMESSAGE hook DLL that the driver hooks into a real
// program's GUI thread. It loads the two UI libraries there and carries out
// the driver's commands on that thread, where the program's windows and
// menus can be changed and read back.
#include "agent_protocol.h"
#include "host_api.h"
#include "window_snapshots.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace realhost {
namespace {

struct Result {
    bool ok;
    std::wstring text;
};

struct Libraries {
    robust::LoadedLibrary tavroDll;
    robust::LoadedLibrary nelloDll;
    robust::TavroApi tavro;
    robust::NelloApi nello;
    explicit Libraries(const std::string& folder)
        : tavroDll((folder + "Tavrolib.dll").c_str()), nelloDll((folder + "Nellolib.dll").c_str()), tavro(tavroDll),
          nello(nelloDll)
    {
    }
};

HMODULE g_self;
std::unique_ptr<Libraries> g_libraries;
std::vector<MenuItemState> g_menusBefore;
std::vector<WindowState> g_dialogBefore;

std::string ownFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(g_self, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::wstring joinLines(const std::vector<std::wstring>& lines)
{
    std::wstring text;
    for (const auto& line : lines)
        text += line + L"\n";
    return text;
}

Result loadLibraries()
{
    if (!g_libraries)
        g_libraries = std::make_unique<Libraries>(ownFolder());
    const bool ok = g_libraries->tavro.complete() && g_libraries->nello.complete();
    return {ok, ok ? L"" : L"a library or one of its exports is missing beside the agent"};
}

Result unloadLibraries()
{
    g_libraries.reset();
    const bool gone = !GetModuleHandleW(L"Tavrolib.dll") && !GetModuleHandleW(L"Nellolib.dll");
    return {gone, gone ? L"" : L"a library is still loaded"};
}

Result convertMenus(HWND window)
{
    g_menusBefore = menuTree(GetMenu(window));
    const bool ok = g_libraries && g_libraries->nello.install(window);
    return {ok, describeMenus(g_menusBefore)};
}

Result restoreMenus(HWND window)
{
    const bool ok = g_libraries && g_libraries->nello.unInstall(window);
    return {ok, L""};
}

Result describeMenusNow(HWND window) { return {true, describeMenus(menuTree(GetMenu(window)))}; }

Result compareMenus(HWND window)
{
    const auto lines = differences(g_menusBefore, menuTree(GetMenu(window)));
    return {lines.empty(), joinLines(lines)};
}

BOOL CALLBACK addPopupMenu(HWND window, LPARAM lParam)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (IsWindowVisible(window) && std::wstring(name) == L"#32768") {
        const auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
        if (menu)
            reinterpret_cast<std::vector<HMENU>*>(lParam)->push_back(menu);
    }
    return TRUE;
}

// Every item of every open popup must be owner-drawn with the library's
// record: the programs driven here own no item data or drawing themselves.
Result inspectOpenMenus()
{
    std::vector<HMENU> popups;
    EnumThreadWindows(GetCurrentThreadId(), addPopupMenu, reinterpret_cast<LPARAM>(&popups));
    int items = 0, converted = 0;
    std::wstring missed;
    for (HMENU popup : popups) {
        const int count = GetMenuItemCount(popup);
        for (int position = 0; position < count; ++position) {
            MENUITEMINFOW info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID;
            GetMenuItemInfoW(popup, position, TRUE, &info);
            ++items;
            if ((info.fType & MFT_OWNERDRAW) && isMenuLibraryRecord(info.dwItemData))
                ++converted;
            else
                missed += L"not converted: position " + std::to_wstring(position) + L" id " +
                          std::to_wstring(info.wID) + L"\n";
        }
    }
    const bool ok = !popups.empty() && items > 0 && converted == items;
    return {ok, L"popups " + std::to_wstring(popups.size()) + L" items " + std::to_wstring(items) + L" converted " +
                    std::to_wstring(converted) + L"\n" + missed};
}

Result setMenuText(HWND window, UINT command, const wchar_t* text)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    std::wstring copy(text);
    info.dwTypeData = copy.data();
    if (!SetMenuItemInfoW(GetMenu(window), command, FALSE, &info))
        return {false, L"SetMenuItemInfoW refused"};
    for (const auto& item : menuTree(GetMenu(window)))
        if (item.id == command && !(item.type & MFT_SEPARATOR))
            return {item.text == text, item.text};
    return {false, L"the command has gone"};
}

bool attachable(const WindowState& window)
{
    const auto type = window.style & 0xF;
    return window.className == L"Button" && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

std::vector<int> g_attached;

Result attachButtons(HWND dialog)
{
    g_dialogBefore = dialogState(dialog);
    g_attached.clear();
    if (!g_libraries || !g_libraries->tavro.install(dialog))
        return {false, L"install refused"};
    bool ok = true;
    std::wstring text;
    for (const auto& window : g_dialogBefore) {
        if (window.window == dialog || !attachable(window))
            continue;
        const bool attached = g_libraries->tavro.setGlisk(dialog, window.id, true);
        if (attached)
            g_attached.push_back(window.id);
        ok = ok && attached;
        text += L"attached " + std::to_wstring(window.id) + (attached ? L"" : L" refused") + L"\n";
    }
    return {ok && !text.empty(), text};
}

// What uninstalling may change: the dialog and the attached buttons get
// their procedures (and character set) back, the buttons their type as
// before they were attached. Whatever the program changed meanwhile (texts,
// enabled states, other style bits) stays as it is now.
std::vector<WindowState> expectedAfterUninstall(HWND dialog)
{
    auto expected = dialogState(dialog);
    for (auto& window : expected) {
        const bool attached =
            std::find(g_attached.begin(), g_attached.end(), window.id) != g_attached.end() && window.window != dialog;
        if (window.window != dialog && !attached)
            continue;
        for (const auto& before : g_dialogBefore) {
            if (before.window != window.window)
                continue;
            window.procA = before.procA;
            window.procW = before.procW;
            window.unicode = before.unicode;
            if (attached)
                window.style = (window.style & ~LONG_PTR{BS_TYPEMASK}) | (before.style & BS_TYPEMASK);
        }
    }
    return expected;
}

Result detachButtons(HWND dialog)
{
    const auto expected = expectedAfterUninstall(dialog);
    if (!g_libraries || !g_libraries->tavro.unInstall(dialog))
        return {false, L"uninstall refused"};
    const auto lines = differences(expected, dialogState(dialog));
    return {lines.empty(), joinLines(lines)};
}

Result carryOut(const Channel& request)
{
    const auto window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(request.window));
    switch (request.command) {
    case Command::LoadLibraries: return loadLibraries();
    case Command::ConvertMenus: return convertMenus(window);
    case Command::InspectOpenMenus: return inspectOpenMenus();
    case Command::DescribeMenus: return describeMenusNow(window);
    case Command::CompareMenus: return compareMenus(window);
    case Command::RestoreMenus: return restoreMenus(window);
    case Command::SetMenuText: return setMenuText(window, request.argument, request.text);
    case Command::AttachButtons: return attachButtons(window);
    case Command::DetachButtons: return detachButtons(window);
    case Command::UnloadLibraries: return unloadLibraries();
    }
    return {false, L"unknown command"};
}

// Opens the driver's block and event, carries out the request and answers.
void answer(LONG request, DWORD driverProcess)
{
    HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, channelName(driverProcess).c_str());
    HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, answerEventName(driverProcess).c_str());
    auto* channel = mapping ? static_cast<Channel*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Channel)))
                            : nullptr;
    if (channel && channel->request == request) {
        const Result result = carryOut(*channel);
        const auto length = std::min<std::size_t>(result.text.size(), kTextCapacity - 1);
        result.text.copy(channel->answer, length);
        channel->answer[length] = L'\0';
        channel->ok = result.ok;
        InterlockedExchange(&channel->answered, request);
    }
    if (channel)
        UnmapViewOfFile(channel);
    if (event) {
        SetEvent(event);
        CloseHandle(event);
    }
    if (mapping)
        CloseHandle(mapping);
}

}  // namespace
}  // namespace realhost

extern "C" __declspec(dllexport) LRESULT CALLBACK RealHostGetMessage(int code, WPARAM removal, LPARAM lParam)
{
    static const UINT command = realhost::commandMessage();
    auto* message = reinterpret_cast<MSG*>(lParam);
    // Menu loops peek before they remove: act once, on the removal.
    if (code == HC_ACTION && removal == PM_REMOVE && message->message == command) {
        realhost::answer(static_cast<LONG>(message->wParam), static_cast<DWORD>(message->lParam));
        message->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        realhost::g_self = instance;
        DisableThreadLibraryCalls(instance);
    }
    // At process exit the libraries are left to the loader, as for any
    // program that links them: freeing a DLL from here is not allowed.
    if (reason == DLL_PROCESS_DETACH && reserved)
        (void)realhost::g_libraries.release();
    return TRUE;
}
