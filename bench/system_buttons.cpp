// The version 6 image button and what tells it apart on the screen.
#include "system_buttons.h"

#include "gdi_owners.h"

#include <uxtheme.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace bench {

namespace {

const char kManifest[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
    "  <dependency><dependentAssembly>\n"
    "    <assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"\n"
    "      processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>\n"
    "  </dependentAssembly></dependency>\n"
    "</assembly>\n";

std::wstring writeManifest()
{
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"cc6", 0, path))
        return L"";
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return L"";
    DWORD written = 0;
    bool ok = WriteFile(file, kManifest, sizeof kManifest - 1, &written, nullptr) && written == sizeof kManifest - 1;
    CloseHandle(file);
    return ok ? path : L"";
}

}  // namespace

CommonControls6::CommonControls6() : manifest_(writeManifest())
{
    if (manifest_.empty())
        return;
    ACTCTXW description = {};
    description.cbSize = sizeof description;
    description.lpSource = manifest_.c_str();
    context_ = CreateActCtxW(&description);
}

CommonControls6::~CommonControls6()
{
    if (ok())
        ReleaseActCtx(context_);
    if (!manifest_.empty())
        DeleteFileW(manifest_.c_str());
}

HWND CommonControls6::addImageButton(HWND dialog, int id, const wchar_t* text, RECT place, HFONT font, HICON icon)
{
    ULONG_PTR cookie = 0;
    if (!ok() || !ActivateActCtx(context_, &cookie))
        return nullptr;
    HWND button = CreateWindowExW(0, L"Button", text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, place.left, place.top,
                                  place.right - place.left, place.bottom - place.top, dialog,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                  nullptr);
    DeactivateActCtx(0, cookie);
    if (button) {
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }
    return button;
}

bool useClassicLook(HWND window)
{
    return SUCCEEDED(SetWindowTheme(window, L"", L""));
}

bool visualStylesActive()
{
    return IsThemeActive() != FALSE;
}

int colouredPixels(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    const int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0)
        return 0;
    owners::WindowDc source(window);
    owners::MemoryDc copy(CreateCompatibleDC(source.get()));
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    owners::Bitmap bitmap(CreateDIBSection(copy.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        return 0;
    {
        owners::Selection selected(copy.get(), bitmap.get());
        BitBlt(copy.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
        GdiFlush();
    }
    const auto* pixels = static_cast<const uint32_t*>(bits);
    int coloured = 0;
    for (int i = 0; i < width * height; ++i) {
        const uint32_t p = pixels[i];
        const uint8_t b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
        coloured += !(r == g && g == b);
    }
    return coloured;
}

}  // namespace bench
