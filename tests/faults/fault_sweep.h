// Shared by the fault programs: the sweep over every failure point of a
// scenario, and the host state that must come back whatever failed.
#pragma once

#include "allocation_faults.h"
#include "gdi_faults.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace faults {

// One run of a scenario with the nth fault armed: whether the chosen fault
// was reached, and how many points the run passed.
struct SweepRun {
    bool injected;
    long points;
};

// Runs run(1), run(2), ... until a run injects nothing. Every failure
// point is run in a deep run; an ordinary run takes the first `head` points
// and every `stride`th after them. Returns the number of failure points (the
// points of the run that injected nothing).
long sweep(const std::function<SweepRun(long nth)>& run, long head, long stride);

enum class Fault { Allocation, GdiObject };
const char* nameOf(Fault kind);

// The sweep as a test runs it: first a run with no fault, whose blocks left
// after unloading (the runtime's state of the thread) become the measure
// every faulted run is held to; then the sweep, which stops at the first
// failure point whose run failed a check (one fault's report is enough),
// prints the figures, and expects the scenario to have reached a point.
void sweepScenario(const char* library, Fault kind, long head, long stride, std::size_t& runtimeBlocks,
                   const std::function<SweepRun(long nth, std::size_t& blocksLeft)>& run);

// Both kinds of fault patched into one loaded library, so that either kind
// can be armed while leaks of both are tracked.
class LibraryFaults {
public:
    explicit LibraryFaults(HMODULE library) : allocations(library), objects(library) {}
    // The nth fault of that kind fails; the other kind none.
    void failAt(Fault kind, long nth);
    void disarm();
    // Whether the armed fault was reached, and the points of its kind so far.
    SweepRun result(Fault kind) const;
    // FreeLibrary has run: nothing is left to put back.
    void libraryUnloaded();

    AllocationFaults allocations;
    GdiFaults objects;
};

// What a host can read back of one window: the parts a library that
// subclasses it may change for a while.
struct WindowLook {
    LONG_PTR style;
    LONG_PTR exStyle;
    LONG_PTR procedure;
    bool unicode;
    std::wstring text;
    bool operator==(const WindowLook& o) const
    {
        return style == o.style && exStyle == o.exStyle && procedure == o.procedure && unicode == o.unicode &&
               text == o.text;
    }
    bool operator!=(const WindowLook& o) const { return !(*this == o); }
};
WindowLook lookOf(HWND window);
std::string describe(const WindowLook& look);

// The objects selected into a DC.
struct Selection {
    HGDIOBJ pen, brush, font, bitmap;
    bool operator==(const Selection& o) const
    {
        return pen == o.pen && brush == o.brush && font == o.font && bitmap == o.bitmap;
    }
};
Selection selectionOf(HDC dc);

}  // namespace faults
