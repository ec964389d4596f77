// Tiny owners for the GDI and USER objects that live for one paint or one
// record, so that no early return can leak a handle or leave a DC changed.
// Declare an owned object before the guard that selects it: the guard then
// puts the old object back before the owner deletes the new one.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace owners {

template <class Handle, class Closer>
class Unique {
public:
    Unique() = default;
    explicit Unique(Handle h) : h_(h) {}
    ~Unique() { reset(); }
    Unique(Unique&& other) noexcept : h_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;

    Handle get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    Handle release() { return std::exchange(h_, nullptr); }
    void reset(Handle h = nullptr)
    {
        Handle old = std::exchange(h_, h);
        if (old)
            Closer()(old);
    }

private:
    Handle h_ = nullptr;
};

struct DeleteGdiObject { void operator()(HGDIOBJ h) const { DeleteObject(h); } };
struct DeleteDcCloser { void operator()(HDC h) const { DeleteDC(h); } };
struct DestroyIconCloser { void operator()(HICON h) const { DestroyIcon(h); } };
struct DestroyImageList { void operator()(HIMAGELIST h) const { ImageList_Destroy(h); } };

using Brush = Unique<HBRUSH, DeleteGdiObject>;
using Pen = Unique<HPEN, DeleteGdiObject>;
using Bitmap = Unique<HBITMAP, DeleteGdiObject>;
using Font = Unique<HFONT, DeleteGdiObject>;
using Region = Unique<HRGN, DeleteGdiObject>;
using MemoryDc = Unique<HDC, DeleteDcCloser>;   // from CreateCompatibleDC or CreateIC
using Icon = Unique<HICON, DestroyIconCloser>;
using ImageList = Unique<HIMAGELIST, DestroyImageList>;

// A DC obtained with GetDC, given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC and selects the previous one back at the end.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    ~Selection()
    {
        if (old_ && old_ != HGDI_ERROR)
            SelectObject(dc_, old_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// SaveDC now, RestoreDC(dc, -1) at the end.
class SavedState {
public:
    explicit SavedState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~SavedState()
    {
        if (saved_)
            RestoreDC(dc_, -1);
    }
    SavedState(const SavedState&) = delete;
    SavedState& operator=(const SavedState&) = delete;

private:
    HDC dc_;
    int saved_;
};

// Runs a cleanup when the scope ends.
template <class F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit() { f_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    F f_;
};

}  // namespace owners
