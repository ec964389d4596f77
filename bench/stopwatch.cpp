// Timing for the benchmark: performance counter, statistics, interleaving.
#include "stopwatch.h"

#include <windows.h>

#include <algorithm>

namespace bench {

double now()
{
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / frequency;
}

Stats summarize(std::vector<double> samples)
{
    Stats stats;
    stats.samples = static_cast<int>(samples.size());
    if (samples.empty())
        return stats;
    std::sort(samples.begin(), samples.end());
    size_t n = samples.size();
    stats.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    stats.min = samples.front();
    stats.max = samples.back();
    return stats;
}

Comparison interleave(const Repetitions& reps, const Sample& library, const Sample& system)
{
    std::vector<double> lib, sys;
    for (int round = 0; round < reps.warmup + reps.samples; ++round) {
        double a, b;
        if (round % 2 == 0) {
            a = library();
            b = system();
        } else {
            b = system();
            a = library();
        }
        if (round >= reps.warmup) {
            lib.push_back(a * 1e6);
            sys.push_back(b * 1e6);
        }
    }
    return Comparison{summarize(lib), summarize(sys)};
}

std::vector<Stats> interleaveAll(const Repetitions& reps, const std::vector<Sample>& samples)
{
    size_t n = samples.size();
    std::vector<std::vector<double>> values(n);
    for (int round = 0; round < reps.warmup + reps.samples; ++round) {
        for (size_t k = 0; k < n; ++k) {
            size_t which = (k + round) % n;
            double value = samples[which]();
            if (round >= reps.warmup)
                values[which].push_back(value * 1e6);
        }
    }
    std::vector<Stats> stats;
    for (auto& v : values)
        stats.push_back(summarize(v));
    return stats;
}

Stats measure(const Repetitions& reps, const Sample& sample)
{
    std::vector<double> values;
    for (int round = 0; round < reps.warmup + reps.samples; ++round) {
        double value = sample();
        if (round >= reps.warmup)
            values.push_back(value * 1e6);
    }
    return summarize(values);
}

}  // namespace bench
