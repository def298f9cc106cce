#pragma once

#include <algorithm>
#include <vector>

// Seconds from the high-resolution performance counter, for benchmarks.
double SecondsNow();

// Processor seconds the whole process has used so far, all its threads (under
// Wine also the renderer's own threads), user and kernel time together.
double ProcessCpuSecondsNow();

// How long each of `repeats` runs of `work` took, in milliseconds, shortest first.
template <class Work>
std::vector<double> SortedRunTimesMs(int repeats, Work work)
{
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        const double start = SecondsNow();
        work();
        times.push_back((SecondsNow() - start) * 1000.0);
    }
    std::sort(times.begin(), times.end());
    return times;
}
