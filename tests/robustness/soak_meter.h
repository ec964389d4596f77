// What the soak programs share: the count of cycles, where the process's
// private bytes and GDI objects stand before and after the cycles, the bound
// they are held to, and a system colour change undone at the end.
//
// Each UI library soaks in a program of its own, so that nothing another
// test left behind (a window, a cached DC) is counted against it.
//
// TAVRO_SOAK_LEAK=1 makes every soak leak one GDI object every tenth of its
// cycles (every 10,000 in a deep run): the bound must then fail the soak.
#pragma once

#include <windows.h>

#include <cstddef>

namespace soak {

// Cycles measured: a few thousand, a hundred thousand in a deep run.
int cycles();
// Cycles run before the measurement starts, so that caches are filled.
constexpr int kWarmUp = 200;

// GDI objects a soak may end with above what it began with, whatever the
// number of cycles: a few that wine itself creates on its own schedule,
// never the slow leak of a deep run (ten objects at one per 10,000 cycles).
constexpr int kGdiAllowance = 3;
// The heap's own rounding, which a leak of a record per cycle exceeds.
constexpr std::size_t kByteAllowance = 128 * 1024;

// What a soak must give back.
struct Holdings {
    std::size_t bytes;
    int gdiObjects;
    static Holdings now();
};

// Counts one soak's cycles: call cycleDone(cycle) at the end of each, from
// cycle 0 (the warm-up included), then finish() after the last.
class Meter {
public:
    explicit Meter(const char* what);
    ~Meter();
    Meter(const Meter&) = delete;
    Meter& operator=(const Meter&) = delete;

    int total() const { return kWarmUp + cycles_; }
    void cycleDone(int cycle);
    // Prints the figures and checks them against the bounds.
    void finish();

private:
    void reportProgress(int measuredCycle) const;

    const char* what_;
    int cycles_;
    int leakEvery_;  // 0: no leak
    Holdings before_{};
    DWORD start_ = 0;
};

// A colour change the whole session sees, undone when the soak ends.
class SystemColourSwap {
public:
    SystemColourSwap() : original_(GetSysColor(COLOR_BTNTEXT)) {}
    ~SystemColourSwap() { set(original_); }
    void flip(bool changed) { set(changed ? RGB(10, 120, 200) : original_); }

private:
    static void set(COLORREF colour)
    {
        const INT element = COLOR_BTNTEXT;
        SetSysColors(1, &element, &colour);
    }
    COLORREF original_;
};

}  // namespace soak
