// Putting a window procedure in front of a host's window without changing the
// window's character set. A Unicode window subclassed through the ANSI setter
// becomes an ANSI window for good (and its text is pushed through the ANSI
// code page from then on), so the procedure is installed, called on and put
// back in the set the window had when it was subclassed.
#pragma once

#include <windows.h>

class WindowSubclass {
public:
    // Puts `proc` in front; false (and nothing changed) when the window
    // refuses. `proc` then receives messages in the window's own set.
    bool install(HWND window, WNDPROC proc)
    {
        unicode_ = IsWindowUnicode(window) != FALSE;
        previous_ = reinterpret_cast<WNDPROC>(setProc(window, reinterpret_cast<LONG_PTR>(proc)));
        return previous_ != nullptr;
    }

    // Gives the window its previous procedure back, in the same set.
    void restore(HWND window) const { setProc(window, reinterpret_cast<LONG_PTR>(previous_)); }

    LRESULT callPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const
    {
        return unicode_ ? CallWindowProcW(previous_, window, message, wParam, lParam)
                        : CallWindowProcA(previous_, window, message, wParam, lParam);
    }

    bool unicode() const { return unicode_; }
    WNDPROC previous() const { return previous_; }

private:
    LONG_PTR setProc(HWND window, LONG_PTR proc) const
    {
        return unicode_ ? SetWindowLongPtrW(window, GWLP_WNDPROC, proc)
                        : SetWindowLongPtrA(window, GWLP_WNDPROC, proc);
    }

    WNDPROC previous_ = nullptr;
    bool unicode_ = false;
};
