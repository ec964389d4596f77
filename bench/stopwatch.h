// Timing for the benchmark: the performance counter, the summary of a set of
// samples, and the interleaved measurement of two sides of one comparison.
#pragma once

#include <functional>
#include <vector>

namespace bench {

// Seconds from the performance counter.
double now();

// Median, fastest and slowest of a set of samples (any unit).
struct Stats {
    double median = 0;
    double min = 0;
    double max = 0;
    int samples = 0;
};

Stats summarize(std::vector<double> samples);

// How often a comparison is repeated.
struct Repetitions {
    int warmup;
    int samples;
};

// One side of a comparison: runs one sample and returns the time it took, in
// seconds per operation, so that set-up inside a sample stays untimed.
using Sample = std::function<double()>;

struct Comparison {
    Stats library;  // microseconds per operation
    Stats system;   // microseconds per operation
    double ratio() const { return system.median > 0 ? library.median / system.median : 0; }
};

// Runs both sides in turns, library then system, then system then library,
// so that drifts of the machine reach both sides alike and neither always
// runs second. Warm-up rounds are run the same way and thrown away.
Comparison interleave(const Repetitions& reps, const Sample& library, const Sample& system);

// Runs several samples in turns, the order rotating every round.
std::vector<Stats> interleaveAll(const Repetitions& reps, const std::vector<Sample>& samples);

// Times one side alone (figures that have no system counterpart).
Stats measure(const Repetitions& reps, const Sample& sample);

// Times `operations` calls of f and returns the seconds per call.
template <class F>
double timePerCall(int operations, F&& f)
{
    double start = now();
    for (int i = 0; i < operations; ++i)
        f();
    return (now() - start) / operations;
}

}  // namespace bench
