// Starts the program on its command line, waits for it, and writes its exit
// status as the last line of stderr. Under the emulated 32-bit Wine a
// program's own status can be lost: wineserver kills a process that takes
// long to finish exiting, after the status is settled on the Windows side,
// where this parent still reads it.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

// The command line without this program's own name, quoted or not.
const wchar_t* commandAfterOwnName(const wchar_t* line)
{
    if (*line == L'"') {
        const wchar_t* end = std::wcschr(line + 1, L'"');
        line = end ? end + 1 : line + std::wcslen(line);
    } else {
        while (*line && *line != L' ' && *line != L'\t')
            ++line;
    }
    while (*line == L' ' || *line == L'\t')
        ++line;
    return line;
}

}  // namespace

int main()
{
    const wchar_t* command = commandAfterOwnName(GetCommandLineW());
    if (!*command) {
        std::fputs("usage: report_exit PROGRAM [ARGS...]\n", stderr);
        return 2;
    }
    // CreateProcessW may write into the command line.
    static wchar_t buffer[32768];
    std::wcsncpy(buffer, command, 32767);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, buffer, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "report_exit: cannot start the program (error %lu)\n", GetLastError());
        return 2;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    std::fflush(stdout);
    std::fprintf(stderr, "\nreport_exit: status %lu\n", status);
    std::fflush(stderr);
    return static_cast<int>(status);
}
