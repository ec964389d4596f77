// Text is UTF-16 inside the libraries. These are the edges: window texts read
// in full, and the ANSI forms kept for interfaces that are ANSI by contract.
#pragma once

#include <windows.h>

#include <string>

namespace wide_text {

// The whole text of a window, read with the W functions so that nothing
// outside the ANSI code page is lost. Empty on failure.
std::wstring windowText(HWND window);

// The text in the ANSI code page, with the system's default character for
// what it cannot hold.
std::string toAnsi(const std::wstring& text);
std::string toAnsi(const wchar_t* text, int length);

// The ANSI text as UTF-16.
std::wstring fromAnsi(const char* text, int length);
std::wstring fromAnsi(const std::string& text);

}  // namespace wide_text
