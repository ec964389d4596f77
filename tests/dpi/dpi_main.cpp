// Runs the tests of this program once per screen DPI. Wine gives a process
// the DPI of its prefix (HKCU\Control Panel\Desktop, LogPixels) when the
// process starts, so this program sets that value and starts itself once
// per DPI; the value the prefix had is put back at the end, whatever the
// runs did.
#include "screen_dpi.h"

#include <gmock/gmock.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int g_requestedDpi = 0;

namespace {

constexpr int kDpis[] = {96, 120, 144, 192};
const char kDesktopKey[] = "Control Panel\\Desktop";
const char kDpiOption[] = "--at-dpi=";

struct SavedLogPixels {
    bool present = false;
    DWORD value = 0;
};

SavedLogPixels readLogPixels()
{
    SavedLogPixels saved;
    DWORD size = sizeof saved.value;
    saved.present = RegGetValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", RRF_RT_REG_DWORD, nullptr,
                                 &saved.value, &size) == ERROR_SUCCESS;
    return saved;
}

bool writeLogPixels(DWORD value)
{
    return RegSetKeyValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", REG_DWORD, &value, sizeof value) ==
           ERROR_SUCCESS;
}

void restoreLogPixels(const SavedLogPixels& saved)
{
    if (saved.present)
        writeLogPixels(saved.value);
    else
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels");
}

// This program again, at dpi, with the arguments it was given; its exit code.
DWORD runAtDpi(int dpi, int argc, char** argv)
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command = std::string("\"") + self + "\" " + kDpiOption + std::to_string(dpi);
    for (int i = 1; i < argc; ++i)
        command += std::string(" \"") + argv[i] + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 1000;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1001;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

int runEveryDpi(int argc, char** argv)
{
    const SavedLogPixels saved = readLogPixels();
    int failures = 0;
    for (int dpi : kDpis) {
        std::printf("==== at %d DPI\n", dpi);
        std::fflush(stdout);
        const DWORD code = writeLogPixels(static_cast<DWORD>(dpi)) ? runAtDpi(dpi, argc, argv) : 1002;
        if (code != 0) {
            std::printf("==== at %d DPI: FAILED (exit code %lu)\n", dpi, static_cast<unsigned long>(code));
            ++failures;
        }
    }
    restoreLogPixels(saved);
    std::printf("%d passed, %d failed\n", static_cast<int>(std::size(kDpis)) - failures, failures);
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], kDpiOption, std::strlen(kDpiOption)) == 0)
            g_requestedDpi = std::atoi(argv[i] + std::strlen(kDpiOption));
    if (g_requestedDpi == 0)
        return runEveryDpi(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
