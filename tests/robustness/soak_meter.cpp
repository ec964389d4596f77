// The soaks' cycle count, holdings, bound and leak switch.
#include "soak_meter.h"

#include "robust_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace soak {

namespace {

bool leakSwitchOn()
{
    const char* value = std::getenv("TAVRO_SOAK_LEAK");
    return value && *value && *value != '0';
}

// The objects the leak switch left behind, freed only when the soak is over.
std::vector<HGDIOBJ>& leaked()
{
    static std::vector<HGDIOBJ> objects;
    return objects;
}

}  // namespace

int cycles()
{
    return robust::scaled(1500, 100000);
}

Holdings Holdings::now()
{
    return {robust::privateBytes(), robust::liveGdiObjects()};
}

Meter::Meter(const char* what) : what_(what), cycles_(cycles()), leakEvery_(leakSwitchOn() ? cycles_ / 10 : 0)
{
    if (leakEvery_) {
        std::printf("robustness: %s: leak switch on, one GDI object left every %d cycles\n", what_, leakEvery_);
        std::fflush(stdout);
    }
}

Meter::~Meter()
{
    for (HGDIOBJ object : leaked())
        DeleteObject(object);
    leaked().clear();
}

void Meter::cycleDone(int cycle)
{
    if (cycle + 1 == kWarmUp) {
        before_ = Holdings::now();
        start_ = GetTickCount();
        return;
    }
    const int measured = cycle - kWarmUp;
    if (measured < 0)
        return;
    if (leakEvery_ && (measured + 1) % leakEvery_ == 0)
        leaked().push_back(CreateSolidBrush(RGB(measured & 0xFF, 1, 2)));
    reportProgress(measured);
}

// In a deep run, where the holdings stand every ten thousand cycles, so a
// slow growth shows when it starts.
void Meter::reportProgress(int measuredCycle) const
{
    const int done = measuredCycle + 1;
    if (!robust::deepRun() || done % 10000 != 0)
        return;
    const Holdings now = Holdings::now();
    std::printf("robustness: %s: cycle %d, private bytes %zu, GDI objects %d (%s)\n", what_, done, now.bytes,
                now.gdiObjects, robust::liveGdiObjectKinds().c_str());
    std::fflush(stdout);
}

void Meter::finish()
{
    const Holdings after = Holdings::now();
    std::printf("robustness: %s: %d cycles in %lu ms, private bytes %zu before, %zu after, GDI objects %d before, "
                "%d after (%s)\n",
                what_, cycles_, GetTickCount() - start_, before_.bytes, after.bytes, before_.gdiObjects,
                after.gdiObjects, robust::liveGdiObjectKinds().c_str());
    std::fflush(stdout);
    ASSERT_GT(before_.bytes, 0u) << "private bytes cannot be read";
    ASSERT_GT(before_.gdiObjects, 0) << "GDI objects cannot be counted";
    EXPECT_LE(after.bytes, before_.bytes + kByteAllowance)
        << what_ << ": memory grew by " << (after.bytes - before_.bytes) << " bytes over " << cycles_ << " cycles";
    EXPECT_LE(after.gdiObjects, before_.gdiObjects + kGdiAllowance)
        << what_ << ": GDI objects are left over: " << (after.gdiObjects - before_.gdiObjects) << " more after "
        << cycles_ << " cycles";
}

}  // namespace soak
