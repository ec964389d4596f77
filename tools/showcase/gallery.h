// The button gallery: a dialog from the showcase's resources whose buttons
// are attached to the push-button library in every mode and look.
#pragma once

#include <windows.h>

#include <string>

namespace showcase {

// Creates the gallery (modeless) and attaches its buttons. False when a
// library call failed; the dialog is still shown.
HWND createGallery(HINSTANCE instance, HWND owner, bool* allCallsSucceeded);

// Uninstalls the gallery from the library, then destroys it.
void destroyGallery(HWND gallery);

// Text of the gallery's status line.
std::string galleryStatus(HWND gallery);

}  // namespace showcase
