// The failure-point sweep and the host read-backs of the fault programs.
#include "fault_sweep.h"

#include "robust_support.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace faults {

long sweep(const std::function<SweepRun(long nth)>& run, long head, long stride)
{
    const bool everyPoint = robust::deepRun();
    // A crash names no failure point: TAVRO_FAULT_TRACE=1 prints each one first.
    const bool trace = GetEnvironmentVariableA("TAVRO_FAULT_TRACE", nullptr, 0) != 0;
    // A run's last point tells how far the sweep has to go; beyond it no
    // fault is reached.
    for (long nth = 1;; ) {
        if (trace) {
            std::printf("faults: point %ld\n", nth);
            std::fflush(stdout);
        }
        const SweepRun result = run(nth);
        if (!result.injected)
            return result.points;
        nth = everyPoint || nth < head ? nth + 1 : nth + stride;
    }
}

void sweepScenario(const char* library, Fault kind, long head, long stride, std::size_t& runtimeBlocks,
                   const std::function<SweepRun(long nth, std::size_t& blocksLeft)>& run)
{
    std::size_t left = 0;
    run(0, left);
    runtimeBlocks = left;
    ::testing::Test::RecordProperty("runtime_blocks", static_cast<int>(left));
    ASSERT_LE(runtimeBlocks, 4u) << "a run without faults leaves at most the runtime's thread state";
    const DWORD start = GetTickCount();
    long runs = 0;
    const long points = sweep(
        [&](long nth) {
            ++runs;
            std::size_t unused = 0;
            const SweepRun result = run(nth, unused);
            return ::testing::Test::HasFailure() ? SweepRun{false, result.points} : result;
        },
        head, stride);
    std::printf("faults: %s: %ld %s failure points, %ld runs, %lu ms\n", library, points, nameOf(kind), runs,
                GetTickCount() - start);
    EXPECT_GT(points, 0) << "the scenario reaches the points";
}

const char* nameOf(Fault kind) { return kind == Fault::Allocation ? "allocation" : "GDI object"; }

void LibraryFaults::failAt(Fault kind, long nth)
{
    allocations.failAt(kind == Fault::Allocation ? nth : 0);
    objects.failAt(kind == Fault::GdiObject ? nth : 0);
}

void LibraryFaults::disarm()
{
    allocations.failAt(0);
    objects.failAt(0);
}

SweepRun LibraryFaults::result(Fault kind) const
{
    if (kind == Fault::Allocation)
        return {allocations.injected(), allocations.allocations()};
    return {objects.injected(), objects.creations()};
}

void LibraryFaults::libraryUnloaded()
{
    allocations.libraryUnloaded();
    objects.libraryUnloaded();
}

WindowLook lookOf(HWND window)
{
    WindowLook look{GetWindowLongPtrW(window, GWL_STYLE), GetWindowLongPtrW(window, GWL_EXSTYLE),
                    IsWindowUnicode(window) ? GetWindowLongPtrW(window, GWLP_WNDPROC)
                                            : GetWindowLongPtrA(window, GWLP_WNDPROC),
                    IsWindowUnicode(window) != FALSE, {}};
    wchar_t text[512] = {};
    InternalGetWindowText(window, text, 512);
    look.text = text;
    return look;
}

std::string describe(const WindowLook& look)
{
    char line[160];
    std::snprintf(line, sizeof line, "style %#llx ex %#llx procedure %#llx %s, %zu characters",
                  static_cast<unsigned long long>(look.style), static_cast<unsigned long long>(look.exStyle),
                  static_cast<unsigned long long>(look.procedure), look.unicode ? "unicode" : "ansi",
                  look.text.size());
    return line;
}

Selection selectionOf(HDC dc)
{
    return {GetCurrentObject(dc, OBJ_PEN), GetCurrentObject(dc, OBJ_BRUSH), GetCurrentObject(dc, OBJ_FONT),
            GetCurrentObject(dc, OBJ_BITMAP)};
}

}  // namespace faults
