// The system's own image button, the anchor of the button paint: a push
// button of version 6 of the common controls, which draws an icon beside its
// text, made inside an activation context that names those controls.
#pragma once

#include <windows.h>

#include <string>

namespace bench {

class CommonControls6 {
public:
    // Writes a manifest naming Microsoft.Windows.Common-Controls 6.0.0.0 to a
    // temporary file and makes an activation context from it.
    CommonControls6();
    ~CommonControls6();
    CommonControls6(const CommonControls6&) = delete;
    CommonControls6& operator=(const CommonControls6&) = delete;

    bool ok() const { return context_ != INVALID_HANDLE_VALUE; }
    // A push button of the dialog created while the context is active, so
    // that its class is the version 6 one; it shows the icon given.
    HWND addImageButton(HWND dialog, int id, const wchar_t* text, RECT place, HFONT font, HICON icon);

private:
    HANDLE context_ = INVALID_HANDLE_VALUE;
    std::wstring manifest_;
};

// Turns the visual style off for one window (the classic look).
bool useClassicLook(HWND window);
// Whether a visual style is in force for the process.
bool visualStylesActive();

// Pixels of the window's client area whose red, green and blue differ: the
// coloured ones (an icon; grey faces and black text have none).
int colouredPixels(HWND window);

}  // namespace bench
